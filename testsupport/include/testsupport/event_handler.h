// A sink that answers events the way a script's handler does: a function
// of the test sees every call and may write into by-reference arguments.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <vector>

#include "common/com.h"
#include "testsupport/ole_container.h"

namespace testsupport {

class EventHandler final : public IDispatch {
public:
    // `params` holds the arguments as dispatch passes them: the last one first.
    using Handler = std::function<void(DISPID id, DISPPARAMS& params)>;

    static common::ComPtr<EventHandler> Create(const IID& iid, Handler handler);

    SinkConnection Connect(IUnknown* source);

    struct Call {
        DISPID dispid;
        LCID locale;
        WORD flags;
    };
    const std::vector<Call>& Calls() const noexcept { return calls_; }

    // The VARIANT a by-reference argument points at (`index` counts in the
    // event's own order, from 0); null when that argument is not by reference.
    static VARIANT* ByRefArgument(DISPPARAMS& params, UINT index);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT*, EXCEPINFO*, UINT*) override;

private:
    EventHandler(const IID& iid, Handler handler) : iid_(iid), handler_(std::move(handler)) {}
    ~EventHandler() = default;

    IID iid_;
    Handler handler_;
    LONG refs_ = 0;
    std::vector<Call> calls_;
};

} // namespace testsupport
