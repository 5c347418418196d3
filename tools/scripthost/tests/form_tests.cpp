// Controls that the script creates stand on the host's form with a real
// in-place site, whether made by CreateObject or Host.CreateControl; Place
// moves them; closing the form ends the run and the host's process.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "host_run.h"

namespace {

// "<label> <number> <number>..." from the host's output.
std::vector<long long> Numbers(const std::string& output, const std::string& label) {
    std::vector<long long> numbers;
    size_t at = output.find(label + " ");
    if (at == std::string::npos) {
        return numbers;
    }
    const char* p = output.c_str() + at + label.size();
    long long value = 0;
    int used = 0;
    while (std::sscanf(p, " %lld%n", &value, &used) == 1) {
        numbers.push_back(value);
        p += used;
    }
    return numbers;
}

HWND AsWindow(long long value) {
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(value));
}

POINT OnForm(HWND window, HWND form) {
    POINT origin = {0, 0};
    ::MapWindowPoints(window, form, &origin, 1);
    return origin;
}

TEST(HostForm, ScriptControlsAreActiveOnTheFormAndClosingItEndsTheRun) {
    const int hostsBefore = RunningHosts();
    HostRun run;
    ASSERT_TRUE(run.Start("Set barOne = CreateObject(\"QzpeProgressBar.ProgressBar\")\r\n"
                          "Set barTwo = Host.CreateControl(\"QzpeProgressBar.ProgressBar\")\r\n"
                          "barOne.Value = 30\r\n"
                          "Host.Echo \"windows\", Host.Window, barOne.Hwnd, barTwo.Hwnd\r\n"
                          "Host.Echo \"sited\"\r\n"));
    ASSERT_TRUE(run.WaitForOutput("sited\r\n")) << run.Errors();
    const std::vector<long long> windows = Numbers(run.Output(), "windows");
    ASSERT_EQ(windows.size(), 3u) << run.Output();
    HWND form = AsWindow(windows[0]);
    HWND first = AsWindow(windows[1]);
    HWND second = AsWindow(windows[2]);
    wchar_t name[64] = {};
    ::GetClassNameW(form, name, 64);
    EXPECT_STREQ(name, L"HVTScriptHostForm");
    EXPECT_TRUE(::IsWindowVisible(form));
    // Each control's window is a visible child of the form: in-place active.
    for (HWND control : {first, second}) {
        EXPECT_EQ(::GetAncestor(control, GA_ROOT), form);
        EXPECT_TRUE(::IsWindowVisible(control));
    }
    EXPECT_EQ(::SendMessageW(first, PBM_GETPOS, 0, 0), 30);
    // The second control stands below the first.
    RECT firstRect = {};
    RECT secondRect = {};
    ::GetWindowRect(first, &firstRect);
    ::GetWindowRect(second, &secondRect);
    EXPECT_GE(secondRect.top, firstRect.bottom);

    ASSERT_TRUE(::PostMessageW(form, WM_CLOSE, 0, 0));
    EXPECT_EQ(run.Finish(), 0u) << run.Errors();
    EXPECT_EQ(run.Errors(), "");
    EXPECT_EQ(RunningHosts(), hostsBefore);
}

TEST(HostForm, PlaceMovesControlsAndListsAndTheListHoldsTheScriptsLines) {
    HostRun run;
    ASSERT_TRUE(run.Start("Set bar = CreateObject(\"QzpeProgressBar.ProgressBar\")\r\n"
                          "Set list = Host.CreateList()\r\n"
                          "Host.Place bar, 10, 200, 150, 20\r\n"
                          "Host.Place list, 5, 30, 200, 100\r\n"
                          "list.Add \"first\"\r\n"
                          "list.Add \"second\"\r\n"
                          "Host.Echo \"list\", list.Count, list(1)\r\n"
                          "Host.Echo \"windows\", Host.Window, bar.Hwnd, list.Hwnd\r\n"
                          "Host.Echo \"placed\"\r\n"));
    ASSERT_TRUE(run.WaitForOutput("placed\r\n")) << run.Errors();
    EXPECT_NE(run.Output().find("list 2 second\r\n"), std::string::npos) << run.Output();
    const std::vector<long long> windows = Numbers(run.Output(), "windows");
    ASSERT_EQ(windows.size(), 3u) << run.Output();
    HWND form = AsWindow(windows[0]);
    HWND bar = AsWindow(windows[1]);
    HWND list = AsWindow(windows[2]);

    const POINT barAt = OnForm(bar, form);
    EXPECT_EQ(barAt.x, 10);
    EXPECT_EQ(barAt.y, 200);
    RECT barRect = {};
    ::GetClientRect(bar, &barRect);
    EXPECT_EQ(barRect.right, 150);
    EXPECT_EQ(barRect.bottom, 20);
    RECT listRect = {};
    ::GetWindowRect(list, &listRect);
    ::MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&listRect), 2);
    EXPECT_EQ(listRect.left, 5);
    EXPECT_EQ(listRect.top, 30);
    EXPECT_EQ(::GetParent(list), form);
    EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 2);

    ASSERT_TRUE(::PostMessageW(form, WM_CLOSE, 0, 0));
    EXPECT_EQ(run.Finish(), 0u) << run.Errors();
}

TEST(HostForm, ClosingTheFormEndsEvenAScriptThatIgnoresEveryError) {
    HostRun run;
    ASSERT_TRUE(run.Start("On Error Resume Next\r\n"
                          "Host.Echo \"window\", Host.Window\r\n"
                          "Do\r\n"
                          "    Host.Sleep 20\r\n"
                          "Loop\r\n"));
    ASSERT_TRUE(run.WaitForOutput("\r\n")) << run.Errors();
    const std::vector<long long> window = Numbers(run.Output(), "window");
    ASSERT_EQ(window.size(), 1u) << run.Output();
    ASSERT_TRUE(::PostMessageW(AsWindow(window[0]), WM_CLOSE, 0, 0));
    EXPECT_EQ(run.Finish(), 0u);
}

} // namespace
