#include "named_dispatch.h"

namespace scripthost {

HRESULT NamedDispatch::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG NamedDispatch::AddRef() {
    return ::InterlockedIncrement(&refs_);
}

ULONG NamedDispatch::Release() {
    LONG left = ::InterlockedDecrement(&refs_);
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT NamedDispatch::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT NamedDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) {
        *info = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT NamedDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (names == nullptr || ids == nullptr || count == 0) {
        return E_INVALIDARG;
    }
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
    }
    // Only the member name is looked up: the host's members take no named arguments.
    for (const Member* m = members_; m->name != nullptr; ++m) {
        if (::_wcsicmp(m->name, names[0]) == 0) {
            ids[0] = m->id;
            break;
        }
    }
    if (ids[0] == DISPID_UNKNOWN || count > 1) {
        hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT NamedDispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                              VARIANT* result, EXCEPINFO* error, UINT*) {
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    if (result != nullptr) {
        ::VariantInit(result);
    }
    try {
        return Call(id, flags, params != nullptr ? *params : none, result, error);
    } catch (...) {
        return Fail(error, E_OUTOFMEMORY, L"Out of memory");
    }
}

HRESULT Fail(EXCEPINFO* error, HRESULT code, const std::wstring& description) {
    if (error == nullptr) {
        return code;
    }
    *error = {};
    error->bstrSource = ::SysAllocString(L"Host");
    error->bstrDescription = ::SysAllocString(description.c_str());
    error->scode = code;
    return DISP_E_EXCEPTION;
}

common::UniqueVariant Argument(const DISPPARAMS& params, UINT index) {
    common::UniqueVariant value;
    if (index >= params.cArgs) {
        value->vt = VT_ERROR;
        value->scode = DISP_E_PARAMNOTFOUND;
        return value;
    }
    if (FAILED(::VariantCopyInd(value.get(), &params.rgvarg[params.cArgs - 1 - index]))) {
        value->vt = VT_ERROR;
        value->scode = DISP_E_TYPEMISMATCH;
    }
    return value;
}

bool StringArgument(const DISPPARAMS& params, UINT index, std::wstring& value) {
    common::UniqueVariant arg = Argument(params, index);
    if (arg->vt == VT_ERROR ||
        FAILED(::VariantChangeType(arg.get(), arg.get(), VARIANT_ALPHABOOL, VT_BSTR))) {
        return false;
    }
    value.assign(arg->bstrVal, ::SysStringLen(arg->bstrVal));
    return true;
}

bool LongArgument(const DISPPARAMS& params, UINT index, LONG& value) {
    common::UniqueVariant arg = Argument(params, index);
    if (arg->vt == VT_ERROR || FAILED(::VariantChangeType(arg.get(), arg.get(), 0, VT_I4))) {
        return false;
    }
    value = arg->lVal;
    return true;
}

common::ComPtr<IUnknown> ObjectArgument(const DISPPARAMS& params, UINT index) {
    common::UniqueVariant arg = Argument(params, index);
    common::ComPtr<IUnknown> identity;
    if ((arg->vt == VT_DISPATCH || arg->vt == VT_UNKNOWN) && arg->punkVal != nullptr) {
        arg->punkVal->QueryInterface(IID_IUnknown, identity.put_void());
    }
    return identity;
}

void SetResult(VARIANT* result, const std::wstring& text) {
    if (result != nullptr) {
        result->vt = VT_BSTR;
        result->bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
}

void SetResult(VARIANT* result, LONG value) {
    if (result != nullptr) {
        result->vt = VT_I4;
        result->lVal = value;
    }
}

void SetResult(VARIANT* result, IDispatch* object) {
    if (result != nullptr) {
        result->vt = VT_DISPATCH;
        result->pdispVal = object;
        if (object != nullptr) {
            object->AddRef();
        }
    }
}

} // namespace scripthost
