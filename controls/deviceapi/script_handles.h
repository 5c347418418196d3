// Window handles travel to and from scripts as 32-bit longs; the system's
// window handles fit in 32 bits at both widths.
#pragma once

#include <windows.h>

inline HWND WindowOf(LONG hWnd) noexcept {
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(hWnd));
}

inline LONG LongOf(HWND window) noexcept {
    return static_cast<LONG>(reinterpret_cast<LONG_PTR>(window));
}

// What every GetFocus member answers: the window that has the keyboard focus.
inline HRESULT ReturnFocusWindow(LONG* hWnd) noexcept {
    if (hWnd == nullptr) {
        return E_POINTER;
    }
    *hWnd = LongOf(::GetFocus());
    return S_OK;
}
