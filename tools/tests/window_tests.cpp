#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "common/handle.h"

namespace {

constexpr UINT kProbeMessage = WM_APP + 7;

LRESULT CALLBACK ProbeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kProbeMessage) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, static_cast<LONG_PTR>(wParam));
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

TEST(TerminalWindows, PostedMessageReachesTheWindowThroughAMessageLoop) {
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_LISTVIEW_CLASSES};
    ASSERT_TRUE(::InitCommonControlsEx(&init));

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ProbeWindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TerminalProbeWindow";
    ::RegisterClassW(&windowClass);

    common::UniqueWindow window(::CreateWindowExW(0, L"TerminalProbeWindow", L"probe",
                                                  WS_OVERLAPPEDWINDOW, 0, 0, 240, 320, nullptr,
                                                  nullptr, windowClass.hInstance, nullptr));
    ASSERT_TRUE(window);

    HWND list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0,
                                  200, 200, window.get(), nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(list, nullptr);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 80;
    column.pszText = const_cast<wchar_t*>(L"Item");
    EXPECT_EQ(ListView_InsertColumn(list, 0, &column), 0);
    EXPECT_NE(ListView_GetHeader(list), nullptr);
    EXPECT_EQ(::GetWindowLongW(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);

    ASSERT_TRUE(::PostMessageW(window.get(), kProbeMessage, 42, 0));
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&message);
    }
    EXPECT_EQ(::GetWindowLongPtrW(window.get(), GWLP_USERDATA), 42);
}
