// A small program for people: a form with an edit box, the keyboard panel
// in its SIP window, and a few taps on the panel that type into the box.
//
//   sip_demo.exe [SECONDS]   stays up SECONDS (default 10), then prints what was typed;
//                            "ready" when the taps are done and a key is held down
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "SipVorpel.h"
#include "common/com.h"
#include "common/handle.h"
#include "sip.h"

namespace {

// The integer layout's keys to tap, by row and column, and one left pressed.
constexpr POINT kTaps[] = {{0, 2}, {0, 1}, {0, 0}, {1, 2}, {1, 1}};
constexpr POINT kHeld = {2, 1};

HWND g_edit = nullptr;
size_t g_next = 0;

LPARAM CellCentre(HWND panel, POINT cell) {
    RECT client = {};
    ::GetClientRect(panel, &client);
    const LONG w = client.right / 5;
    const LONG h = client.bottom / 3;
    const LONG x0 = client.right - 5 * w;
    const LONG y0 = (client.bottom - 3 * h) / 2;
    return MAKELPARAM(x0 + w * cell.y + w / 2, y0 + h * cell.x + h / 2);
}

void CALLBACK TapNext(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND sip = TerminalSipWindow();
    HWND panel = sip != nullptr ? ::GetWindow(sip, GW_CHILD) : nullptr;
    if (panel == nullptr) {
        return;
    }
    if (g_next < std::size(kTaps)) {
        const LPARAM at = CellCentre(panel, kTaps[g_next++]);
        ::SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(panel, WM_LBUTTONUP, 0, at);
        return;
    }
    ::KillTimer(nullptr, timer);
    ::SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, CellCentre(panel, kHeld));
    // What a screenshot waits for.
    std::wprintf(L"ready\n");
    std::fflush(stdout);
}

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    if (message == WM_SETFOCUS && g_edit != nullptr) {
        ::SetFocus(g_edit);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10)) : 10;
    common::ComApartment apartment;

    WNDCLASSW cls = {};
    cls.lpfnWndProc = FormProc;
    cls.hInstance = ::GetModuleHandleW(nullptr);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = L"SipDemoForm";
    ::RegisterClassW(&cls);
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SIPINFO info = {};
    info.cbSize = SIPINFO_SIZE;
    SipGetInfo(&info);
    HWND form =
        ::CreateWindowExW(0, L"SipDemoForm", L"Quantity", WS_OVERLAPPED | WS_CAPTION, work.left,
                          work.top, info.rcSipRect.right - info.rcSipRect.left,
                          info.rcSipRect.top - work.top, nullptr, nullptr, cls.hInstance, nullptr);
    ::CreateWindowExW(0, L"STATIC", L"Count:", WS_CHILD | WS_VISIBLE, 8, 12, 60, 20, form, nullptr,
                      cls.hInstance, nullptr);
    g_edit = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 70, 8, 150,
                               24, form, nullptr, cls.hInstance, nullptr);
    ::ShowWindow(form, SW_SHOW);
    ::SetForegroundWindow(form);
    ::SetFocus(g_edit);

    CLSID keyboard = CLSID_KeyboardVorp;
    if (!SipSetCurrentIM(&keyboard)) {
        std::fwprintf(stderr, L"sip_demo: the keyboard panel cannot be selected\n");
        return 1;
    }
    SipGetInfo(&info);
    info.fdwFlags |= SIPF_ON;
    SipSetInfo(&info);

    ::SetTimer(nullptr, 0, 300, TapNext);
    const DWORD end = ::GetTickCount() + seconds * 1000;
    MSG msg;
    for (;;) {
        const DWORD now = ::GetTickCount();
        if (static_cast<LONG>(end - now) <= 0) {
            break;
        }
        if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT) !=
            WAIT_OBJECT_0) {
            break;
        }
        bool quit = false;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            quit = quit || msg.message == WM_QUIT;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (quit) {
            break;
        }
    }
    wchar_t typed[64] = {};
    ::GetWindowTextW(g_edit, typed, 64);
    std::wprintf(L"typed: %ls\n", typed);
    TerminalResetSip();
    ::DestroyWindow(form);
    return 0;
}
