#include "window_helper.h"
#include "script_handles.h"

#include <cstdint>

#include "frame/status.h"
#include "shell.h"
#include "sip.h"

namespace {

bool IsAppKey(MXQRAPIAppKey key) {
    return key >= VK_APP1 && key <= VK_APP4;
}

RECT WorkArea() {
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

// The shell's menu bar; the simulated shell starts when it is first needed,
// as the real one is always there.
HWND MenuBar() {
    TerminalShellMenuBar();
    return ::FindWindowW(SHELL_MENU_BAR_CLASS, L"");
}

} // namespace

const frame::ObjectClass& WindowHelper::Class() {
    static const frame::ObjectClass cls = {&CLSID_WindowHelper, &IID_IWindowHelper, nullptr};
    return cls;
}

HRESULT WindowHelper::BringWindowToTop(LONG hWnd) {
    HWND window = WindowOf(hWnd);
    if (!::IsWindow(window)) {
        return frame::SystemStatus(ERROR_INVALID_WINDOW_HANDLE);
    }
    ::BringWindowToTop(window);
    return S_OK;
}

HRESULT WindowHelper::SetAppKeyWindowAssociation(MXQRAPIAppKey AppKey, LONG hWnd) {
    HWND window = WindowOf(hWnd);
    if (!::IsWindow(window)) {
        return frame::SystemStatus(ERROR_INVALID_WINDOW_HANDLE);
    }
    if (!IsAppKey(AppKey)) {
        return frame::SystemStatus(ERROR_INVALID_PARAMETER);
    }
    SHSetAppKeyWndAssoc(static_cast<BYTE>(AppKey), window);
    return S_OK;
}

HRESULT WindowHelper::ReleaseAppKeyWindowAssociation(MXQRAPIAppKey AppKey) {
    if (!IsAppKey(AppKey)) {
        return frame::SystemStatus(ERROR_INVALID_PARAMETER);
    }
    SHSetAppKeyWndAssoc(static_cast<BYTE>(AppKey), nullptr);
    return S_OK;
}

HRESULT WindowHelper::CreateRect(LONG Left, LONG Top, LONG Right, LONG Bottom, LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    if (!rectPage_) {
        rectPage_.reset(common::AllocateLowPage());
        if (!rectPage_) {
            return E_OUTOFMEMORY;
        }
    }
    auto* rect = static_cast<RECT*>(rectPage_.get());
    *rect = {Left, Top, Right, Bottom};
    *pVal = static_cast<LONG>(reinterpret_cast<std::uintptr_t>(rect));
    return S_OK;
}

HRESULT WindowHelper::get_WorkAreaHeight(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    const RECT work = WorkArea();
    *pVal = work.bottom - work.top;
    return S_OK;
}

HRESULT WindowHelper::get_WorkAreaWidth(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    const RECT work = WorkArea();
    *pVal = work.right - work.left;
    return S_OK;
}

HRESULT WindowHelper::get_SIPHeight(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    SIPINFO info = {};
    info.cbSize = SIPINFO_SIZE;
    ::SipGetInfo(&info);
    *pVal = info.rcSipRect.bottom - info.rcSipRect.top;
    return S_OK;
}

HRESULT WindowHelper::UnmakeFullScreen(LONG hWnd) {
    HWND window = WindowOf(hWnd);
    if (!::IsWindow(window)) {
        return frame::SystemStatus(ERROR_INVALID_WINDOW_HANDLE);
    }
    if (HWND bar = MenuBar()) {
        ::ShowWindow(bar, SW_SHOWNORMAL);
    }
    ::SetForegroundWindow(window);
    ::MoveWindow(window, 0, SHELL_MENU_BAR_HEIGHT, ::GetSystemMetrics(SM_CXSCREEN),
                 ::GetSystemMetrics(SM_CYSCREEN), TRUE);
    return S_OK;
}

HRESULT WindowHelper::MakeFullScreen(LONG hWnd) {
    HWND window = WindowOf(hWnd);
    if (!::IsWindow(window)) {
        return frame::SystemStatus(ERROR_INVALID_WINDOW_HANDLE);
    }
    if (HWND bar = MenuBar()) {
        ::ShowWindow(bar, SW_HIDE);
    }
    ::SetForegroundWindow(window);
    ::MoveWindow(window, 0, 0, ::GetSystemMetrics(SM_CXSCREEN),
                 ::GetSystemMetrics(SM_CYSCREEN) + SHELL_MENU_BAR_HEIGHT, FALSE);
    return S_OK;
}

HRESULT WindowHelper::ShellParts(LONG hWnd, DWORD flags) {
    HWND window = WindowOf(hWnd);
    if (!::IsWindow(window)) {
        return frame::SystemStatus(ERROR_INVALID_WINDOW_HANDLE);
    }
    ::SetForegroundWindow(window);
    SHFullScreen(window, flags);
    return S_OK;
}

HRESULT WindowHelper::ShowMenu(LONG hWnd) {
    return ShellParts(hWnd, SHFS_SHOWSIPBUTTON);
}

HRESULT WindowHelper::HideMenu(LONG hWnd) {
    return ShellParts(hWnd, SHFS_HIDESIPBUTTON);
}

HRESULT WindowHelper::ShowStart(LONG hWnd) {
    return ShellParts(hWnd, SHFS_SHOWSTARTICON);
}

HRESULT WindowHelper::HideStart(LONG hWnd) {
    return ShellParts(hWnd, SHFS_HIDESTARTICON);
}

HRESULT WindowHelper::ShowTaskbar(LONG hWnd) {
    return ShellParts(hWnd, SHFS_SHOWTASKBAR);
}

HRESULT WindowHelper::HideTaskbar(LONG hWnd) {
    return ShellParts(hWnd, SHFS_HIDETASKBAR);
}
