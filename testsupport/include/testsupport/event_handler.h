// A sink that answers events the way a script's handler does: a function
// of the test sees every call and may write into by-reference arguments.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <vector>

#include "common/com.h"
#include "testsupport/event_sink.h"

namespace testsupport {

class EventHandler final : public EventSink {
public:
    // `params` holds the arguments as dispatch passes them: the last one first.
    using Handler = std::function<void(DISPID id, DISPPARAMS& params)>;

    static common::ComPtr<EventHandler> Create(const IID& iid, Handler handler);

    struct Call {
        DISPID dispid;
        LCID locale;
        WORD flags;
    };
    const std::vector<Call>& Calls() const noexcept { return calls_; }

    // The VARIANT a by-reference argument points at (`index` counts in the
    // event's own order, from 0); null when that argument is not by reference.
    static VARIANT* ByRefArgument(DISPPARAMS& params, UINT index);

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT*, EXCEPINFO*, UINT*) override;

private:
    EventHandler(const IID& iid, Handler handler) : EventSink(iid), handler_(std::move(handler)) {}

    Handler handler_;
    std::vector<Call> calls_;
};

} // namespace testsupport
