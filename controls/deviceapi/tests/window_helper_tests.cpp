// WindowHelper on the real window system and the simulated shell.
#include <windows.h>

#include <cstdint>

#include <gtest/gtest.h>

#include "common/com.h"
#include "common/handle.h"
#include "deviceapi_server.h"
#include "shell.h"

namespace {

// The desktop limits a top-level window to the screen and its borders; the
// terminal does not, so the test window lifts the limit.
LRESULT CALLBACK UnlimitedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETMINMAXINFO) {
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMaxTrackSize = {10000, 10000};
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

class WindowHelperTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegisterDeviceApiServer(), S_OK);
        ASSERT_EQ(::CoCreateInstance(CLSID_WindowHelper, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IWindowHelper, reinterpret_cast<void**>(helper_.put())),
                  S_OK);
        WNDCLASSW cls = {};
        cls.lpfnWndProc = UnlimitedProc;
        cls.lpszClassName = L"WindowHelperTestWindow";
        ::RegisterClassW(&cls);
        window_.reset(::CreateWindowExW(0, L"WindowHelperTestWindow", L"helper test",
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 60, 100, 80, nullptr,
                                        nullptr, nullptr, nullptr));
        ASSERT_TRUE(window_);
    }
    LONG Handle() const { return static_cast<LONG>(reinterpret_cast<LONG_PTR>(window_.get())); }

    common::ComApartment apartment_;
    common::ComPtr<IWindowHelper> helper_;
    common::UniqueWindow window_;
};

TEST_F(WindowHelperTest, MembersGiveStatus1400ForAHandleThatIsNotAWindow) {
    const HRESULT notAWindow = static_cast<HRESULT>(ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(helper_->BringWindowToTop(0), notAWindow);
    EXPECT_EQ(helper_->MakeFullScreen(0x1234), notAWindow);
    EXPECT_EQ(helper_->UnmakeFullScreen(0), notAWindow);
    EXPECT_EQ(helper_->HideTaskbar(0), notAWindow);
    EXPECT_EQ(helper_->SetAppKeyWindowAssociation(iakAPP1, 0), notAWindow);
}

TEST_F(WindowHelperTest, MakeFullScreenCoversTheScreenAndTheMenuBar) {
    HWND bar = TerminalShellMenuBar();
    ASSERT_EQ(helper_->MakeFullScreen(Handle()), S_OK);
    RECT rect = {};
    ::GetWindowRect(window_.get(), &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, ::GetSystemMetrics(SM_CYSCREEN) + 26);
    EXPECT_FALSE(::IsWindowVisible(bar));

    ASSERT_EQ(helper_->UnmakeFullScreen(Handle()), S_OK);
    ::GetWindowRect(window_.get(), &rect);
    EXPECT_EQ(rect.top, 26);
    EXPECT_EQ(rect.bottom - rect.top, ::GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(::IsWindowVisible(bar));
}

TEST_F(WindowHelperTest, ShellPartsReachTheWindowsFullScreenState) {
    ASSERT_EQ(helper_->HideTaskbar(Handle()), S_OK);
    ASSERT_EQ(helper_->HideMenu(Handle()), S_OK);
    ASSERT_EQ(helper_->ShowStart(Handle()), S_OK);
    EXPECT_EQ(TerminalFullScreenState(window_.get()),
              SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_SHOWSTARTICON);
    ASSERT_EQ(helper_->ShowTaskbar(Handle()), S_OK);
    ASSERT_EQ(helper_->ShowMenu(Handle()), S_OK);
    ASSERT_EQ(helper_->HideStart(Handle()), S_OK);
    EXPECT_EQ(TerminalFullScreenState(window_.get()),
              SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON | SHFS_HIDESTARTICON);
}

TEST_F(WindowHelperTest, AppKeyAssociationActivatesTheWindowUntilReleased) {
    ASSERT_EQ(helper_->SetAppKeyWindowAssociation(iakAPP3, Handle()), S_OK);
    EXPECT_EQ(TerminalPressAppKey(VK_APP3), window_.get());
    EXPECT_EQ(helper_->SetAppKeyWindowAssociation(static_cast<MXQRAPIAppKey>(197), Handle()),
              static_cast<HRESULT>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(helper_->ReleaseAppKeyWindowAssociation(static_cast<MXQRAPIAppKey>(192)),
              static_cast<HRESULT>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(TerminalAppKeyWindow(VK_APP3), window_.get());
    ASSERT_EQ(helper_->ReleaseAppKeyWindowAssociation(iakAPP3), S_OK);
    EXPECT_EQ(TerminalAppKeyWindow(VK_APP3), nullptr);
}

TEST_F(WindowHelperTest, CreateRectHandsOutOneRectangleBelow2GB) {
    LONG first = 0;
    ASSERT_EQ(helper_->CreateRect(1, 2, 3, 4, &first), S_OK);
    ASSERT_NE(first, 0);
    EXPECT_GT(first, 0); // the address fits in a positive long
    const auto* rect = reinterpret_cast<const RECT*>(static_cast<std::uintptr_t>(first));
    EXPECT_EQ(rect->left, 1);
    EXPECT_EQ(rect->bottom, 4);
    LONG second = 0;
    ASSERT_EQ(helper_->CreateRect(-5, 6, 7, 8, &second), S_OK);
    EXPECT_EQ(second, first);
    EXPECT_EQ(rect->left, -5);
}

TEST_F(WindowHelperTest, AreasComeFromTheWorkAreaAndTheInputPanel) {
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    LONG height = 0, width = 0, sip = 0;
    ASSERT_EQ(helper_->get_WorkAreaHeight(&height), S_OK);
    ASSERT_EQ(helper_->get_WorkAreaWidth(&width), S_OK);
    EXPECT_EQ(height, work.bottom - work.top);
    EXPECT_EQ(width, work.right - work.left);
    ASSERT_EQ(helper_->get_SIPHeight(&sip), S_OK);
    EXPECT_EQ(sip, 80); // the simulated panel's default height
}

} // namespace
