// MXQRAPI.dll as its tests reach it.
#pragma once

#include <windows.h>

#include "MXQRAPI.h"
#include "testsupport/server_registration.h"

// Registers MXQRAPI.dll (again: the terminal registers it too) and returns
// the result of its DllRegisterServer.
inline HRESULT RegisterDeviceApiServer() {
    return testsupport::RegisterServer(L"MXQRAPI.dll");
}

inline HRESULT UnregisterDeviceApiServer() {
    return testsupport::UnregisterServer(L"MXQRAPI.dll");
}
