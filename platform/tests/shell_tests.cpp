// The simulated shell as applications see it: its menu bar, each window's
// full-screen state and the application keys.
#include <gtest/gtest.h>

#include <windows.h>

#include "common/handle.h"
#include "shell.h"

namespace {

common::UniqueWindow MakeTopLevel() {
    return common::UniqueWindow(::CreateWindowExW(0, L"STATIC", L"shell test",
                                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 40, 100, 80,
                                                  nullptr, nullptr, nullptr, nullptr));
}

TEST(ShellMenuBar, IsAnEmptyTitledMenuWorkerAlongTheTopOfTheScreen) {
    HWND bar = TerminalShellMenuBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(::FindWindowW(L"menu_worker", L""), bar);
    EXPECT_EQ(TerminalShellMenuBar(), bar); // one shell
    RECT rect = {};
    ::GetWindowRect(bar, &rect);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.bottom - rect.top, SHELL_MENU_BAR_HEIGHT);
    EXPECT_EQ(rect.right - rect.left, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_TRUE(::IsWindowVisible(bar));
}

TEST(ShellMenuBar, StoppedShellLeavesNoMenuBarUntilNeededAgain) {
    TerminalShellMenuBar();
    TerminalStopShell();
    EXPECT_EQ(::FindWindowW(L"menu_worker", L""), nullptr);
    common::UniqueWindow window = MakeTopLevel();
    ASSERT_TRUE(SHFullScreen(window.get(), SHFS_HIDETASKBAR));
    EXPECT_NE(::FindWindowW(L"menu_worker", L""), nullptr);
}

TEST(FullScreen, RecordsWhatEachWindowShowsAndHides) {
    common::UniqueWindow first = MakeTopLevel();
    common::UniqueWindow second = MakeTopLevel();
    EXPECT_EQ(TerminalFullScreenState(first.get()), 0u);

    ASSERT_TRUE(SHFullScreen(first.get(), SHFS_HIDETASKBAR | SHFS_HIDESTARTICON));
    ASSERT_TRUE(SHFullScreen(second.get(), SHFS_SHOWSIPBUTTON));
    EXPECT_EQ(TerminalFullScreenState(first.get()), SHFS_HIDETASKBAR | SHFS_HIDESTARTICON);
    EXPECT_EQ(TerminalFullScreenState(second.get()), SHFS_SHOWSIPBUTTON);

    // A later call changes only the parts it names.
    ASSERT_TRUE(SHFullScreen(first.get(), SHFS_SHOWTASKBAR | SHFS_HIDESIPBUTTON));
    EXPECT_EQ(TerminalFullScreenState(first.get()),
              SHFS_SHOWTASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON);
}

TEST(FullScreen, RefusesBadWindowsAndContradictoryFlags) {
    common::UniqueWindow window = MakeTopLevel();
    HWND gone = MakeTopLevel().get(); // destroyed at once

    ::SetLastError(0);
    EXPECT_FALSE(SHFullScreen(gone, SHFS_HIDETASKBAR));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(SHFullScreen(window.get(), SHFS_SHOWTASKBAR | SHFS_HIDETASKBAR));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(SHFullScreen(window.get(), 0x40));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(TerminalFullScreenState(window.get()), 0u);
}

TEST(FullScreen, ForgetsAWindowThatIsDestroyed) {
    common::UniqueWindow window = MakeTopLevel();
    HWND handle = window.get();
    ASSERT_TRUE(SHFullScreen(handle, SHFS_HIDETASKBAR));
    window.reset();
    EXPECT_EQ(TerminalFullScreenState(handle), 0u);
}

TEST(AppKeys, PressActivatesTheAssociatedWindow) {
    common::UniqueWindow target = MakeTopLevel();
    common::UniqueWindow other = MakeTopLevel();
    ::SetForegroundWindow(other.get());

    ASSERT_TRUE(SHSetAppKeyWndAssoc(VK_APP2, target.get()));
    EXPECT_EQ(TerminalAppKeyWindow(VK_APP2), target.get());
    EXPECT_EQ(TerminalPressAppKey(VK_APP2), target.get());
    EXPECT_EQ(::GetForegroundWindow(), target.get());
    EXPECT_EQ(TerminalPressAppKey(VK_APP1), nullptr); // another key is not affected

    ASSERT_TRUE(SHSetAppKeyWndAssoc(VK_APP2, nullptr));
}

TEST(AppKeys, PressRestoresAMinimisedWindow) {
    common::UniqueWindow target = MakeTopLevel();
    ASSERT_TRUE(SHSetAppKeyWndAssoc(VK_APP4, target.get()));
    ::ShowWindow(target.get(), SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(target.get()));
    EXPECT_EQ(TerminalPressAppKey(VK_APP4), target.get());
    EXPECT_FALSE(::IsIconic(target.get()));
    ASSERT_TRUE(SHSetAppKeyWndAssoc(VK_APP4, nullptr));
}

TEST(AppKeys, ReleasedKeyGoesBackToTheDefaultApplication) {
    common::UniqueWindow target = MakeTopLevel();
    common::UniqueWindow other = MakeTopLevel();
    ASSERT_TRUE(SHSetAppKeyWndAssoc(VK_APP3, target.get()));
    ASSERT_TRUE(SHSetAppKeyWndAssoc(VK_APP3, nullptr));
    ::SetForegroundWindow(other.get());
    EXPECT_EQ(TerminalAppKeyWindow(VK_APP3), nullptr);
    EXPECT_EQ(TerminalPressAppKey(VK_APP3), nullptr);
    EXPECT_EQ(::GetForegroundWindow(), other.get());
}

TEST(AppKeys, RefusesOtherKeysAndBadWindowsWithoutChangingAnything) {
    common::UniqueWindow target = MakeTopLevel();
    ASSERT_TRUE(SHSetAppKeyWndAssoc(VK_APP1, target.get()));

    ::SetLastError(0);
    EXPECT_FALSE(SHSetAppKeyWndAssoc(197, target.get()));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(SHSetAppKeyWndAssoc(192, nullptr));
    EXPECT_EQ(TerminalAppKeyWindow(197), nullptr);

    HWND gone = MakeTopLevel().get();
    EXPECT_FALSE(SHSetAppKeyWndAssoc(VK_APP1, gone));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(TerminalAppKeyWindow(VK_APP1), target.get());

    ASSERT_TRUE(SHSetAppKeyWndAssoc(VK_APP1, nullptr));
}

TEST(AppKeys, AssociationEndsWithItsWindow) {
    common::UniqueWindow target = MakeTopLevel();
    ASSERT_TRUE(SHSetAppKeyWndAssoc(VK_APP1, target.get()));
    target.reset();
    EXPECT_EQ(TerminalAppKeyWindow(VK_APP1), nullptr);
    EXPECT_EQ(TerminalPressAppKey(VK_APP1), nullptr);
}

} // namespace
