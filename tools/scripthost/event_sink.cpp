#include "event_sink.h"

#include <dispex.h>
#include <ocidl.h>
#include <olectl.h>

#include "script_host.h"

namespace scripthost {
namespace {

class TypeAttr {
public:
    explicit TypeAttr(ITypeInfo* info) : info_(info) {
        if (FAILED(info_->GetTypeAttr(&attr_))) {
            attr_ = nullptr;
        }
    }
    TypeAttr(const TypeAttr&) = delete;
    TypeAttr& operator=(const TypeAttr&) = delete;
    ~TypeAttr() {
        if (attr_ != nullptr) {
            info_->ReleaseTypeAttr(attr_);
        }
    }
    const TYPEATTR* operator->() const noexcept { return attr_; }
    explicit operator bool() const noexcept { return attr_ != nullptr; }

private:
    ITypeInfo* info_;
    TYPEATTR* attr_ = nullptr;
};

class EventSink final : public IDispatch {
public:
    EventSink(ScriptHost& host, const IID& iid, std::wstring prefix,
              std::map<DISPID, std::wstring> names)
        : host_(host), iid_(iid), prefix_(std::move(prefix)), names_(std::move(names)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == iid_) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ::InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = ::InterlockedDecrement(&refs_);
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) {
            *info = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }

    // The event's arguments go to the handler as they came, so that a handler
    // that assigns a by-reference argument writes into the source's variable.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID lcid, WORD, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        if (host_.Ending()) {
            return S_OK;
        }
        auto name = names_.find(id);
        if (name == names_.end()) {
            return S_OK;
        }
        common::ComPtr<IDispatchEx> script = host_.ScriptNames();
        if (!script) {
            return S_OK;
        }
        common::UniqueBstr handler(prefix_ + L"_" + name->second);
        DISPID handlerId = DISPID_UNKNOWN;
        // A script without a handler for this event simply does not hear it.
        if (FAILED(script->GetDispID(handler.get(), fdexNameCaseInsensitive, &handlerId))) {
            return S_OK;
        }
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        DISPPARAMS call = params != nullptr ? *params : none;
        call.rgdispidNamedArgs = nullptr;
        call.cNamedArgs = 0;
        common::UniqueVariant ignored;
        EXCEPINFO error = {};
        HRESULT hr = script->InvokeEx(handlerId, lcid, DISPATCH_METHOD, &call,
                                      result != nullptr ? result : ignored.get(), &error, nullptr);
        ::SysFreeString(error.bstrSource);
        ::SysFreeString(error.bstrDescription);
        ::SysFreeString(error.bstrHelpFile);
        return hr;
    }

private:
    ~EventSink() = default;

    ScriptHost& host_;
    IID iid_;
    std::wstring prefix_;
    std::map<DISPID, std::wstring> names_;
    LONG refs_ = 1;
};

} // namespace

HRESULT FindEvents(IUnknown* source, IID& iid, std::map<DISPID, std::wstring>& names) {
    common::ComPtr<IProvideClassInfo> provider;
    HRESULT hr = source->QueryInterface(IID_IProvideClassInfo, provider.put_void());
    if (FAILED(hr)) {
        return hr;
    }
    common::ComPtr<ITypeInfo> coclass;
    hr = provider->GetClassInfo(coclass.put());
    if (FAILED(hr)) {
        return hr;
    }
    TypeAttr classAttr(coclass.get());
    if (!classAttr) {
        return E_FAIL;
    }
    common::ComPtr<ITypeInfo> events;
    for (UINT i = 0; i < classAttr->cImplTypes && !events; ++i) {
        INT flags = 0;
        HREFTYPE ref = 0;
        constexpr INT kDefaultSource = IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE;
        if (SUCCEEDED(coclass->GetImplTypeFlags(i, &flags)) &&
            (flags & kDefaultSource) == kDefaultSource &&
            SUCCEEDED(coclass->GetRefTypeOfImplType(i, &ref))) {
            coclass->GetRefTypeInfo(ref, events.put());
        }
    }
    if (!events) {
        return CONNECT_E_NOCONNECTION;
    }
    TypeAttr eventAttr(events.get());
    if (!eventAttr) {
        return E_FAIL;
    }
    iid = eventAttr->guid;
    for (UINT i = 0; i < eventAttr->cFuncs; ++i) {
        FUNCDESC* function = nullptr;
        if (FAILED(events->GetFuncDesc(i, &function))) {
            continue;
        }
        common::UniqueBstr name;
        if (SUCCEEDED(
                events->GetDocumentation(function->memid, name.put(), nullptr, nullptr, nullptr))) {
            names[function->memid] = std::wstring(name.view());
        }
        events->ReleaseFuncDesc(function);
    }
    return S_OK;
}

common::ComPtr<IDispatch> CreateEventSink(ScriptHost& host, const IID& iid, std::wstring prefix,
                                          std::map<DISPID, std::wstring> names) {
    return common::ComPtr<IDispatch>::attach(
        new EventSink(host, iid, std::move(prefix), std::move(names)));
}

} // namespace scripthost
