// System colours by their CE index form, and the simulated tap-and-hold.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "common/handle.h"
#include "gesture.h"
#include "syscolor.h"

namespace {

TEST(SystemColours, FlaggedAndPlainIndexGiveTheSameColour) {
    for (int index : {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT}) {
        EXPECT_EQ(CeGetSysColor(index | SYS_COLOR_INDEX_FLAG), ::GetSysColor(index)) << index;
        EXPECT_EQ(CeGetSysColor(index), ::GetSysColor(index)) << index;
    }
}

// A parent that records the gesture notifications and answers the first one.
struct GestureParent {
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NOTIFY) {
            auto* self =
                reinterpret_cast<GestureParent*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
            const auto* info = reinterpret_cast<const NMRGINFO*>(lParam);
            self->codes.push_back(info->hdr.code);
            self->points.push_back(info->ptAction);
            return info->hdr.code == NM_RECOGNIZEGESTURE ? self->suppress : 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT suppress = 0;
    std::vector<UINT> codes;
    std::vector<POINT> points;
};

class TapAndHold : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &GestureParent::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"GestureTestParent";
        ::RegisterClassW(&wc);
        parentWindow_.reset(::CreateWindowExW(0, L"GestureTestParent", nullptr, WS_POPUP, 0, 0, 100,
                                              100, nullptr, nullptr, wc.hInstance, nullptr));
        ASSERT_TRUE(parentWindow_);
        ::SetWindowLongPtrW(parentWindow_.get(), GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(&parent_));
        child_ =
            ::CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD, 0, 0, 50, 50, parentWindow_.get(),
                              reinterpret_cast<HMENU>(7), nullptr, nullptr);
        ASSERT_NE(child_, nullptr);
    }
    GestureParent parent_;
    common::UniqueWindow parentWindow_;
    HWND child_ = nullptr;
};

TEST_F(TapAndHold, AllowedGestureAsksThenReportsTheContextMenuAtThePoint) {
    EXPECT_TRUE(TerminalTapAndHold(child_, 12, 34));
    ASSERT_EQ(parent_.codes, (std::vector<UINT>{NM_RECOGNIZEGESTURE, GN_CONTEXTMENU}));
    EXPECT_EQ(parent_.points[1].x, 12);
    EXPECT_EQ(parent_.points[1].y, 34);
}

TEST_F(TapAndHold, SuppressedGestureReportsNothing) {
    parent_.suppress = 1;
    EXPECT_FALSE(TerminalTapAndHold(child_, 1, 2));
    EXPECT_EQ(parent_.codes, (std::vector<UINT>{NM_RECOGNIZEGESTURE}));
}

} // namespace
