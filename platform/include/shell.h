// The shell's full-screen and application-key helpers, under their CE names,
// and the simulated shell's menu bar. The shell lives in the calling process:
// its menu bar window is made on a thread of its own the first time anything
// needs it.
#pragma once

#include <windows.h>

#include "ceplatform.h"

// SHFullScreen flags: each part of the shell is shown or hidden per window.
constexpr DWORD SHFS_SHOWTASKBAR = 0x0001;
constexpr DWORD SHFS_HIDETASKBAR = 0x0002;
constexpr DWORD SHFS_SHOWSIPBUTTON = 0x0004;
constexpr DWORD SHFS_HIDESIPBUTTON = 0x0008;
constexpr DWORD SHFS_SHOWSTARTICON = 0x0010;
constexpr DWORD SHFS_HIDESTARTICON = 0x0020;

// The four hardware application keys (virtual-key codes).
constexpr BYTE VK_APP1 = 193;
constexpr BYTE VK_APP2 = 194;
constexpr BYTE VK_APP3 = 195;
constexpr BYTE VK_APP4 = 196;

// The shell's menu bar: class "menu_worker", empty title, along the top of
// the screen.
constexpr wchar_t SHELL_MENU_BAR_CLASS[] = L"menu_worker";
constexpr int SHELL_MENU_BAR_HEIGHT = 26;

// ---- Shell library ----------------------------------------------------------

// Applies the show and hide flags to `window`'s full-screen state. Fails with
// ERROR_INVALID_WINDOW_HANDLE for a handle that is not a window, and with
// ERROR_INVALID_PARAMETER for unknown flags or a part both shown and hidden.
CEPLATFORM_API BOOL WINAPI SHFullScreen(HWND window, DWORD flags);

// Associates an application key with a window: pressing the key activates
// it. A null window gives the key back to its default application. Fails
// with ERROR_INVALID_PARAMETER for a key outside VK_APP1..VK_APP4 and with
// ERROR_INVALID_WINDOW_HANDLE for a handle that is not a window.
CEPLATFORM_API BOOL WINAPI SHSetAppKeyWndAssoc(BYTE key, HWND window);

// ---- Simulator side ---------------------------------------------------------

// The shell's menu bar window, made (shown, at the top of the screen) when the
// shell is not running yet.
CEPLATFORM_API HWND WINAPI TerminalShellMenuBar(void);
// Ends the simulated shell: its menu bar window goes. The next call that
// needs the shell starts it again.
CEPLATFORM_API void WINAPI TerminalStopShell(void);

// `window`'s full-screen state: for each part of the shell, the SHFS_ flag
// (show or hide) of the last SHFullScreen call that named the part; 0 for a
// window that never called it.
CEPLATFORM_API DWORD WINAPI TerminalFullScreenState(HWND window);

// The window associated with an application key; null for none.
CEPLATFORM_API HWND WINAPI TerminalAppKeyWindow(BYTE key);
// Presses an application key: the associated window is restored if it is
// minimised and brought to the foreground, and is returned. A key with no
// window starts its default application, which the simulated terminal does
// not have: nothing is activated and the result is null.
CEPLATFORM_API HWND WINAPI TerminalPressAppKey(BYTE key);
