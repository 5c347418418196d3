// The simulated shell: its menu bar window, each window's full-screen state
// and the application-key associations.
#include <windows.h>

#include <map>
#include <mutex>

#include "common/handle.h"
#include "shell.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// Each part of the shell with its show and hide flag.
struct ShellPart {
    DWORD show;
    DWORD hide;
};
constexpr ShellPart kParts[] = {
    {SHFS_SHOWTASKBAR, SHFS_HIDETASKBAR},
    {SHFS_SHOWSIPBUTTON, SHFS_HIDESIPBUTTON},
    {SHFS_SHOWSTARTICON, SHFS_HIDESTARTICON},
};
constexpr DWORD kAllFlags = SHFS_SHOWTASKBAR | SHFS_HIDETASKBAR | SHFS_SHOWSIPBUTTON |
                            SHFS_HIDESIPBUTTON | SHFS_SHOWSTARTICON | SHFS_HIDESTARTICON;

constexpr int kAppKeys = VK_APP4 - VK_APP1 + 1;

struct Shell {
    std::mutex lock;
    HWND menuBar = nullptr;
    common::UniqueKernel thread;
    std::map<HWND, DWORD> fullScreen;
    HWND appKeys[kAppKeys] = {};
};

Shell& State() {
    static Shell* shell = new Shell(); // never destroyed: the shell thread may outlive statics
    return *shell;
}

LRESULT CALLBACK MenuBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

struct Startup {
    common::UniqueKernel ready;
    HWND window = nullptr;
};

DWORD WINAPI ShellThread(LPVOID parameter) {
    auto* startup = static_cast<Startup*>(parameter);
    auto* instance = reinterpret_cast<HINSTANCE>(&__ImageBase);
    WNDCLASSW cls = {};
    cls.lpfnWndProc = MenuBarProc;
    cls.hInstance = instance;
    cls.lpszClassName = SHELL_MENU_BAR_CLASS;
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    ::RegisterClassW(&cls); // already registered after an earlier stop
    startup->window =
        ::CreateWindowExW(WS_EX_TOOLWINDOW, SHELL_MENU_BAR_CLASS, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                          ::GetSystemMetrics(SM_CXSCREEN), SHELL_MENU_BAR_HEIGHT, nullptr, nullptr,
                          instance, nullptr);
    const bool made = startup->window != nullptr;
    ::SetEvent(startup->ready.get());
    if (!made) {
        return 1;
    }
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

// Starts the shell thread unless it runs; the caller holds the lock.
HWND EnsureMenuBar(Shell& shell) {
    if (shell.menuBar != nullptr && ::IsWindow(shell.menuBar)) {
        return shell.menuBar;
    }
    Startup startup;
    startup.ready.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!startup.ready) {
        return nullptr;
    }
    common::UniqueKernel thread(::CreateThread(nullptr, 0, ShellThread, &startup, 0, nullptr));
    if (!thread) {
        return nullptr;
    }
    HANDLE waits[] = {startup.ready.get(), thread.get()};
    ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (startup.window == nullptr) {
        return nullptr;
    }
    shell.menuBar = startup.window;
    shell.thread = std::move(thread);
    return shell.menuBar;
}

// Forgets windows that are gone, so a reused handle starts afresh.
void DropDeadWindows(Shell& shell) {
    for (auto it = shell.fullScreen.begin(); it != shell.fullScreen.end();) {
        it = ::IsWindow(it->first) ? std::next(it) : shell.fullScreen.erase(it);
    }
    for (HWND& window : shell.appKeys) {
        if (window != nullptr && !::IsWindow(window)) {
            window = nullptr;
        }
    }
}

bool IsAppKey(BYTE key) {
    return key >= VK_APP1 && key <= VK_APP4;
}

} // namespace

extern "C" BOOL WINAPI SHFullScreen(HWND window, DWORD flags) {
    if (window == nullptr || !::IsWindow(window)) {
        ::SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if ((flags & ~kAllFlags) != 0) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (const ShellPart& part : kParts) {
        if ((flags & part.show) != 0 && (flags & part.hide) != 0) {
            ::SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
    }
    Shell& shell = State();
    std::lock_guard<std::mutex> hold(shell.lock);
    DropDeadWindows(shell);
    EnsureMenuBar(shell);
    DWORD& state = shell.fullScreen[window];
    for (const ShellPart& part : kParts) {
        const DWORD named = flags & (part.show | part.hide);
        if (named != 0) {
            state = (state & ~(part.show | part.hide)) | named;
        }
    }
    return TRUE;
}

extern "C" BOOL WINAPI SHSetAppKeyWndAssoc(BYTE key, HWND window) {
    if (!IsAppKey(key)) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (window != nullptr && !::IsWindow(window)) {
        ::SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    Shell& shell = State();
    std::lock_guard<std::mutex> hold(shell.lock);
    DropDeadWindows(shell);
    EnsureMenuBar(shell);
    shell.appKeys[key - VK_APP1] = window;
    return TRUE;
}

extern "C" HWND WINAPI TerminalShellMenuBar(void) {
    Shell& shell = State();
    std::lock_guard<std::mutex> hold(shell.lock);
    return EnsureMenuBar(shell);
}

extern "C" void WINAPI TerminalStopShell(void) {
    Shell& shell = State();
    std::lock_guard<std::mutex> hold(shell.lock);
    if (shell.menuBar != nullptr) {
        ::PostMessageW(shell.menuBar, WM_CLOSE, 0, 0);
        ::WaitForSingleObject(shell.thread.get(), INFINITE);
    }
    shell.menuBar = nullptr;
    shell.thread.reset();
}

extern "C" DWORD WINAPI TerminalFullScreenState(HWND window) {
    Shell& shell = State();
    std::lock_guard<std::mutex> hold(shell.lock);
    DropDeadWindows(shell);
    auto it = shell.fullScreen.find(window);
    return it == shell.fullScreen.end() ? 0 : it->second;
}

extern "C" HWND WINAPI TerminalAppKeyWindow(BYTE key) {
    if (!IsAppKey(key)) {
        return nullptr;
    }
    Shell& shell = State();
    std::lock_guard<std::mutex> hold(shell.lock);
    DropDeadWindows(shell);
    return shell.appKeys[key - VK_APP1];
}

extern "C" HWND WINAPI TerminalPressAppKey(BYTE key) {
    HWND window = TerminalAppKeyWindow(key);
    if (window == nullptr) {
        return nullptr;
    }
    if (::IsIconic(window)) {
        ::ShowWindow(window, SW_RESTORE);
    }
    ::SetForegroundWindow(window);
    return window;
}
