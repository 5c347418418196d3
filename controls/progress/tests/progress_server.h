// The progress bar server as its tests reach it.
#pragma once

#include <windows.h>

#include "qzpeProgressBar.h"
#include "testsupport/server_registration.h"

// Registers qzpeProgressBar.dll (again: the terminal registers it too) and
// returns the result of its DllRegisterServer.
inline HRESULT RegisterProgressServer() {
    return testsupport::RegisterServer(L"qzpeProgressBar.dll");
}

inline HRESULT UnregisterProgressServer() {
    return testsupport::UnregisterServer(L"qzpeProgressBar.dll");
}
