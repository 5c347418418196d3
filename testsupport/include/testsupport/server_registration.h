// Registers or unregisters a COM server library as regsvr32 would: through
// its own entry point. The library stays loaded, as COM keeps it.
#pragma once

#include <windows.h>

namespace testsupport {

// The result of the library's DllRegisterServer, or why it could not be called.
HRESULT RegisterServer(const wchar_t* library);
// The result of the library's DllUnregisterServer.
HRESULT UnregisterServer(const wchar_t* library);

} // namespace testsupport
