// IDispatch of a dual interface, served from the module's type library.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace frame {

HRESULT DispatchTypeInfo(REFIID dual, UINT index, ITypeInfo** info) noexcept;
HRESULT DispatchGetIDsOfNames(REFIID dual, REFIID riid, LPOLESTR* names, UINT count,
                              DISPID* ids) noexcept;
// `self` is the object's dual interface: members are called through its vtable.
HRESULT DispatchInvoke(REFIID dual, IDispatch* self, DISPID id, REFIID riid, WORD flags,
                       DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                       UINT* argError) noexcept;

// Reads or assigns one property of an object through its own dispatch.
HRESULT GetDispatchProperty(IDispatch* object, DISPID id, VARIANT* value) noexcept;
HRESULT PutDispatchProperty(IDispatch* object, DISPID id, const VARIANT& value) noexcept;

} // namespace frame
