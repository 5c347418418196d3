// MXQRAPI.dll as its tests reach it.
#pragma once

#include <windows.h>

#include "MXQRAPI.h"

// Registers MXQRAPI.dll (again: the terminal registers it too) and returns
// the result of its DllRegisterServer.
inline HRESULT RegisterDeviceApiServer() {
    HMODULE module = ::LoadLibraryW(L"MXQRAPI.dll"); // stays loaded, as COM keeps it
    if (module == nullptr) {
        return HRESULT_FROM_WIN32(::GetLastError());
    }
    auto entry = reinterpret_cast<HRESULT(WINAPI*)()>(
        reinterpret_cast<void*>(::GetProcAddress(module, "DllRegisterServer")));
    return entry != nullptr ? entry() : E_FAIL;
}

inline HRESULT UnregisterDeviceApiServer() {
    HMODULE module = ::GetModuleHandleW(L"MXQRAPI.dll");
    auto entry = reinterpret_cast<HRESULT(WINAPI*)()>(
        reinterpret_cast<void*>(::GetProcAddress(module, "DllUnregisterServer")));
    return entry != nullptr ? entry() : E_FAIL;
}
