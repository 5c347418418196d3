#include "event_sink.h"

#include <dispex.h>
#include <ocidl.h>
#include <olectl.h>

#include <utility>
#include <vector>

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

// Stores `value` into a typed reference of the source's; false for a type
// that is not kept by reference here.
bool Store(const VARIANT& reference, VARIANT& value) {
    const VARTYPE type = static_cast<VARTYPE>(reference.vt & ~VT_BYREF);
    if (FAILED(::VariantChangeType(&value, &value, 0, type))) {
        return false;
    }
    switch (type) {
    case VT_BSTR:
        ::SysFreeString(*reference.pbstrVal);
        *reference.pbstrVal = value.bstrVal;
        break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        if (*reference.ppunkVal != nullptr) {
            (*reference.ppunkVal)->Release();
        }
        *reference.ppunkVal = value.punkVal;
        break;
    case VT_I1:
    case VT_UI1:
        *reference.pbVal = value.bVal;
        return true;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
        *reference.piVal = value.iVal;
        return true;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_ERROR:
        *reference.plVal = value.lVal;
        return true;
    case VT_R4:
        *reference.pfltVal = value.fltVal;
        return true;
    case VT_R8:
    case VT_DATE:
        *reference.pdblVal = value.dblVal;
        return true;
    case VT_CY:
        *reference.pcyVal = value.cyVal;
        return true;
    default:
        return false;
    }
    // The reference now owns what the value held.
    value.vt = VT_EMPTY;
    return true;
}

// The engine keeps a handler's ByRef parameter bound to the caller's
// variable only when it comes as a reference to a VARIANT: each typed
// reference of the event goes to the handler as a VARIANT of the host's,
// and what the handler left there goes back into the source's variable.
class ByReference {
public:
    explicit ByReference(const DISPPARAMS* params) {
        if (params == nullptr) {
            return;
        }
        arguments_.assign(params->rgvarg, params->rgvarg + params->cArgs);
        holders_.resize(params->cArgs);
        for (UINT i = 0; i < params->cArgs; ++i) {
            const VARIANT& original = params->rgvarg[i];
            if ((original.vt & VT_BYREF) == 0 || original.vt == (VT_BYREF | VT_VARIANT) ||
                (original.vt & VT_ARRAY) != 0 ||
                FAILED(::VariantCopyInd(holders_[i].get(), const_cast<VARIANT*>(&original)))) {
                continue;
            }
            VARIANT& passed = arguments_[i];
            passed.vt = VT_BYREF | VT_VARIANT;
            passed.pvarVal = holders_[i].get();
            originals_.push_back({i, original});
        }
    }

    VARIANT* Arguments() noexcept { return arguments_.empty() ? nullptr : arguments_.data(); }

    void WriteBack() {
        for (const auto& [index, reference] : originals_) {
            Store(reference, *holders_[index].get());
        }
    }

private:
    std::vector<VARIANT> arguments_; // borrowed, but for the holders'
    std::vector<common::UniqueVariant> holders_;
    std::vector<std::pair<UINT, VARIANT>> originals_;
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
        const UINT count = params != nullptr ? params->cArgs : 0;
        ByReference references(params);
        DISPPARAMS call = {references.Arguments(), nullptr, count, 0};
        common::UniqueVariant ignored;
        EXCEPINFO error = {};
        HRESULT hr = script->InvokeEx(handlerId, lcid, DISPATCH_METHOD, &call,
                                      result != nullptr ? result : ignored.get(), &error, nullptr);
        references.WriteBack();
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
