// The progress bar in a form, with the real common control behind it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "common/com.h"
#include "progress_server.h"
#include "testsupport/ole_container.h"
#include "testsupport/ole_stores.h"

namespace {

class ProgressBarControl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegisterProgressServer(), S_OK);
        ASSERT_EQ(container_.CreateAndActivate(CLSID_ProgressBar), S_OK);
        bar_ = container_.As<IProgressBar>();
        ASSERT_TRUE(bar_);
    }

    HWND Bar() {
        LONG handle = 0;
        EXPECT_EQ(bar_->get_Hwnd(&handle), S_OK);
        return reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
    }
    PBRANGE Range() {
        PBRANGE range = {};
        ::SendMessageW(Bar(), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        return range;
    }
    LONG_PTR Style() { return ::GetWindowLongPtrW(Bar(), GWL_STYLE); }
    static RECT ClientOf(HWND window) {
        RECT rect = {};
        ::GetClientRect(window, &rect);
        return rect;
    }

    common::ComApartment apartment_;
    testsupport::OleContainer container_;
    common::ComPtr<IProgressBar> bar_;
};

TEST_F(ProgressBarControl, ProgressWindowFillsTheControlWindow) {
    HWND bar = Bar();
    ASSERT_TRUE(::IsWindow(bar));
    EXPECT_EQ(::GetParent(bar), container_.ControlWindow());
    wchar_t name[64] = {};
    ::GetClassNameW(bar, name, 64);
    EXPECT_STREQ(name, L"ATL:msctls_progress32");
    const LONG_PTR style = Style();
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    EXPECT_EQ(style & PBS_SMOOTH, 0) << "segmented at first";
    const RECT control = ClientOf(container_.ControlWindow());
    const RECT inner = ClientOf(bar);
    EXPECT_EQ(inner.right, control.right);
    EXPECT_EQ(inner.bottom, control.bottom);
    LONG scrolling = -1;
    bar_->get_Scrolling(&scrolling);
    EXPECT_EQ(scrolling, 1);
    common::UniqueBstr version;
    ASSERT_EQ(bar_->get_Version(version.put()), S_OK);
    EXPECT_EQ(version.view(), L"1.0.0");
}

TEST_F(ProgressBarControl, NewControlSpansZeroToHundredAndMaxMovesTheWindowRange) {
    LONG min = -1;
    LONG max = -1;
    bar_->get_Min(&min);
    bar_->get_Max(&max);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 100);
    ASSERT_EQ(bar_->put_Max(500), S_OK);
    EXPECT_EQ(Range().iLow, 0);
    EXPECT_EQ(Range().iHigh, 500);
    ASSERT_EQ(bar_->put_Min(20), S_OK);
    EXPECT_EQ(Range().iLow, 20);
    EXPECT_EQ(Range().iHigh, 500);
}

TEST_F(ProgressBarControl, SetRangePassesLow16BitsAndKeepsMinAndMax) {
    ASSERT_EQ(bar_->SetRange(0, 70000), S_OK);
    EXPECT_EQ(Range().iLow, 0);
    EXPECT_EQ(Range().iHigh, 4464);
    LONG min = -1;
    LONG max = -1;
    bar_->get_Min(&min);
    bar_->get_Max(&max);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 100);
}

TEST_F(ProgressBarControl, ValueIsTheWindowPosition) {
    ASSERT_EQ(bar_->put_Value(40), S_OK);
    EXPECT_EQ(::SendMessageW(Bar(), PBM_GETPOS, 0, 0), 40);
    ::SendMessageW(Bar(), PBM_SETPOS, 65, 0);
    LONG value = 0;
    ASSERT_EQ(bar_->get_Value(&value), S_OK);
    EXPECT_EQ(value, 65);
}

TEST_F(ProgressBarControl, ScrollingZeroRecreatesASmoothBarAndOtherValuesAreIgnored) {
    HWND first = Bar();
    bar_->put_Max(300);
    bar_->put_Value(120);

    ASSERT_EQ(bar_->put_Scrolling(2), S_OK);
    EXPECT_EQ(Bar(), first);
    LONG scrolling = -1;
    bar_->get_Scrolling(&scrolling);
    EXPECT_EQ(scrolling, 1);

    ASSERT_EQ(bar_->put_Scrolling(0), S_OK);
    HWND second = Bar();
    EXPECT_FALSE(::IsWindow(first));
    ASSERT_TRUE(::IsWindow(second));
    EXPECT_NE(Style() & PBS_SMOOTH, 0);
    EXPECT_EQ(::GetParent(second), container_.ControlWindow());
    const RECT control = ClientOf(container_.ControlWindow());
    EXPECT_EQ(ClientOf(second).right, control.right);
    bar_->get_Scrolling(&scrolling);
    EXPECT_EQ(scrolling, 0);
    // The new bar keeps the range and position of the old one.
    EXPECT_EQ(Range().iHigh, 300);
    EXPECT_EQ(::SendMessageW(second, PBM_GETPOS, 0, 0), 120);

    ASSERT_EQ(bar_->put_Scrolling(1), S_OK);
    EXPECT_EQ(Style() & PBS_SMOOTH, 0);
}

TEST_F(ProgressBarControl, VisibleShowsOnlyForOne) {
    ASSERT_EQ(bar_->put_Visible(-1), S_OK);
    EXPECT_EQ(Style() & WS_VISIBLE, 0);
    BOOL visible = -5;
    bar_->get_Visible(&visible);
    EXPECT_EQ(visible, 0);
    ASSERT_EQ(bar_->put_Visible(1), S_OK);
    EXPECT_NE(Style() & WS_VISIBLE, 0);
    bar_->get_Visible(&visible);
    EXPECT_EQ(visible, 1);
    ASSERT_EQ(bar_->put_Visible(0), S_OK);
    EXPECT_EQ(Style() & WS_VISIBLE, 0);
}

TEST_F(ProgressBarControl, BorderRoundTrip) {
    BOOL border = 5;
    bar_->get_Border(&border);
    EXPECT_EQ(border, 0);
    ASSERT_EQ(bar_->put_Border(-1), S_OK);
    EXPECT_NE(Style() & WS_BORDER, 0);
    bar_->get_Border(&border);
    EXPECT_EQ(border, -1);
    ASSERT_EQ(bar_->put_Border(1), S_OK);
    EXPECT_EQ(Style() & WS_BORDER, 0);
    bar_->get_Border(&border);
    EXPECT_EQ(border, 0);
}

TEST_F(ProgressBarControl, ResizingMovesTheBarWithTheControl) {
    const RECT moved = {5, 6, 305, 46};
    ASSERT_EQ(container_.Resize(moved), S_OK);
    RECT bar = {};
    ::GetWindowRect(Bar(), &bar);
    ::MapWindowPoints(nullptr, container_.ControlWindow(), reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(bar.left, 0);
    EXPECT_EQ(bar.top, 0);
    EXPECT_EQ(bar.right, 300);
    EXPECT_EQ(bar.bottom, 40);
}

TEST_F(ProgressBarControl, SavesOnlyItsExtent) {
    bar_->put_Max(900);
    auto bag = testsupport::PropertyBag::Create();
    ASSERT_EQ(container_.As<IPersistPropertyBag>()->Save(bag.get(), TRUE, TRUE), S_OK);
    EXPECT_EQ(bag->Names(), (std::vector<std::wstring>{L"_cx", L"_cy"}));
}

} // namespace
