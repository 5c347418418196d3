#include "frame/dispatch.h"

#include "common/com.h"
#include "frame/registration.h"
#include "frame/status.h"

namespace frame {

HRESULT DispatchTypeInfo(REFIID dual, UINT index, ITypeInfo** info) noexcept {
    if (info == nullptr) {
        return E_POINTER;
    }
    *info = nullptr;
    if (index != 0) {
        return DISP_E_BADINDEX;
    }
    return ModuleTypeInfo(dual, info);
}

HRESULT DispatchGetIDsOfNames(REFIID dual, REFIID riid, LPOLESTR* names, UINT count,
                              DISPID* ids) noexcept {
    if (riid != IID_NULL) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    common::ComPtr<ITypeInfo> info;
    HRESULT hr = ModuleTypeInfo(dual, info.put());
    if (FAILED(hr)) {
        return hr;
    }
    return ::DispGetIDsOfNames(info.get(), names, count, ids);
}

HRESULT DispatchInvoke(REFIID dual, IDispatch* self, DISPID id, REFIID riid, WORD flags,
                       DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                       UINT* argError) noexcept {
    if (riid != IID_NULL) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    common::ComPtr<ITypeInfo> info;
    HRESULT hr = ModuleTypeInfo(dual, info.put());
    if (FAILED(hr)) {
        return hr;
    }
    ::SetErrorInfo(0, nullptr);
    // A member's system error number reaches the caller as the member gave it.
    StatusScope status;
    return status.Result(
        ::DispInvoke(self, info.get(), id, flags, params, result, exception, argError));
}

HRESULT GetDispatchProperty(IDispatch* object, DISPID id, VARIANT* value) noexcept {
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value,
                          nullptr, nullptr);
}

HRESULT PutDispatchProperty(IDispatch* object, DISPID id, const VARIANT& value) noexcept {
    VARIANTARG argument = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&argument, &named, 1, 1};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                          nullptr, nullptr);
}

} // namespace frame
