// Registration of a server: one registry script per class, and the type
// library embedded in the module as TYPELIB resource 1.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace frame {

// Runs the REGISTRY resource `script` of this module through the system
// registrar, installing or removing its keys. The script may use %MODULE%
// (the module path) and %LIBID% (the identifier of the embedded type library).
HRESULT RunRegistryScript(UINT script, bool install);

HRESULT RegisterModuleTypeLib();
// Succeeds when the library is not registered at all.
HRESULT UnregisterModuleTypeLib();

// The module's embedded type library, loaded once.
HRESULT ModuleTypeLib(ITypeLib** library) noexcept;
// Type information of one interface or class of the embedded library.
HRESULT ModuleTypeInfo(REFGUID guid, ITypeInfo** info) noexcept;

} // namespace frame
