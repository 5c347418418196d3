// The grid's drawing into bitmaps, checked pixel by pixel: the header item
// with its sort arrow and shortened text, and the erased backgrounds.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/handle.h"
#include "grid_fixture.h"

namespace {

constexpr COLORREF kBack = RGB(0, 0, 160);
constexpr COLORREF kFore = RGB(255, 255, 0);

// A top-down 32-bit bitmap selected into a memory device context.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_.reset(::CreateCompatibleDC(nullptr));
        bitmap_.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
        previous_ = ::SelectObject(dc_.get(), bitmap_.get());
        Fill(RGB(1, 2, 3));
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas() { ::SelectObject(dc_.get(), previous_); }

    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF At(int x, int y) const {
        ::GdiFlush();
        const DWORD pixel = static_cast<const DWORD*>(bits_)[y * width_ + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    void Fill(COLORREF color) {
        common::UniqueGdiObject brush(::CreateSolidBrush(color));
        const RECT all = {0, 0, width_, height_};
        ::FillRect(dc_.get(), &all, static_cast<HBRUSH>(brush.get()));
    }
    bool SameAs(const Canvas& other) const {
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if (At(x, y) != other.At(x, y)) {
                    return false;
                }
            }
        }
        return true;
    }

private:
    int width_;
    int height_;
    void* bits_ = nullptr;
    common::UniqueCreatedDc dc_;
    common::UniqueGdiObject bitmap_;
    HGDIOBJ previous_ = nullptr;
};

// One strip of an arrow: row y, pixels left..right inclusive.
struct Strip {
    int y;
    int left;
    int right;
};

class HeaderDrawing : public GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        Activate();
        ASSERT_EQ(grid_->put_ColumnCount(2), S_OK);
        ASSERT_EQ(grid_->put_HeaderBackColor(kBack), S_OK);
        ASSERT_EQ(grid_->put_HeaderForeColor(kFore), S_OK);
    }

    // Has the grid draw header item `column` into `canvas`, as the header asks.
    void DrawItem(Canvas& canvas, int column, bool pressed) {
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(Header(), WM_GETFONT, 0, 0));
        HGDIOBJ previous = ::SelectObject(canvas.dc(), font);
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_HEADER;
        item.itemID = static_cast<UINT>(column - 1);
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = pressed ? ODS_SELECTED : 0;
        item.hwndItem = Header();
        item.hDC = canvas.dc();
        item.rcItem = {0, 0, canvas.width(), canvas.height()};
        EXPECT_EQ(::SendMessageW(List(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item)), TRUE);
        ::SelectObject(canvas.dc(), previous);
    }

    // Every pixel is the foreground inside the strips and the background elsewhere.
    static void ExpectArrow(const Canvas& canvas, const std::vector<Strip>& strips) {
        for (int y = 0; y < canvas.height(); ++y) {
            for (int x = 0; x < canvas.width(); ++x) {
                bool inArrow = false;
                for (const Strip& strip : strips) {
                    inArrow = inArrow || (strip.y == y && x >= strip.left && x <= strip.right);
                }
                ASSERT_EQ(canvas.At(x, y), inArrow ? kFore : kBack) << "at " << x << "," << y;
            }
        }
    }

    // What the header text should look like: `text` drawn in the header font.
    void DrawExpectedText(Canvas& canvas, const wchar_t* text, RECT area, UINT format) {
        canvas.Fill(kBack);
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(Header(), WM_GETFONT, 0, 0));
        HGDIOBJ previous = ::SelectObject(canvas.dc(), font);
        ::SetBkMode(canvas.dc(), TRANSPARENT);
        ::SetTextColor(canvas.dc(), kFore);
        ::DrawTextW(canvas.dc(), text, -1, &area, format);
        ::SelectObject(canvas.dc(), previous);
    }

    int HeaderTextWidth(const std::wstring& text) {
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(Header(), WM_GETFONT, 0, 0));
        Canvas scratch(1, 1);
        HGDIOBJ previous = ::SelectObject(scratch.dc(), font);
        SIZE size = {};
        ::GetTextExtentPoint32W(scratch.dc(), text.c_str(), static_cast<int>(text.size()), &size);
        ::SelectObject(scratch.dc(), previous);
        return size.cx;
    }

    void SetHeader(int column, const wchar_t* text) {
        common::UniqueBstr value(text);
        ASSERT_EQ(grid_->put_ColumnHeader(column, value.get()), S_OK);
    }
};

// An item 80 by 20 pixels: the arrow is 9 pixels wide and 5 high, its right
// end 1 pixel left of the item's right edge less 3, vertically centred.
TEST_F(HeaderDrawing, DownArrowForAPositiveColumn) {
    ASSERT_EQ(grid_->put_SortArrowColumn(1), S_OK);
    Canvas canvas(80, 20);
    DrawItem(canvas, 1, false);
    ExpectArrow(canvas, {{7, 67, 75}, {8, 68, 74}, {9, 69, 73}, {10, 70, 72}, {11, 71, 71}});
}

TEST_F(HeaderDrawing, PressedArrowMovesOneRightAndOneDown) {
    ASSERT_EQ(grid_->put_SortArrowColumn(1), S_OK);
    Canvas canvas(80, 20);
    DrawItem(canvas, 1, true);
    ExpectArrow(canvas, {{8, 68, 76}, {9, 69, 75}, {10, 70, 74}, {11, 71, 73}, {12, 72, 72}});
}

TEST_F(HeaderDrawing, UpArrowForANegativeColumnOnlyInThatColumn) {
    ASSERT_EQ(grid_->put_SortArrowColumn(-2), S_OK);
    Canvas canvas(80, 20);
    DrawItem(canvas, 2, false);
    ExpectArrow(canvas, {{11, 67, 75}, {10, 68, 74}, {9, 69, 73}, {8, 70, 72}, {7, 71, 71}});
    Canvas other(80, 20);
    DrawItem(other, 1, false);
    ExpectArrow(other, {});
    Canvas pressed(80, 20);
    DrawItem(pressed, 2, true);
    ExpectArrow(pressed, {{12, 68, 76}, {11, 69, 75}, {10, 70, 74}, {9, 71, 73}, {8, 72, 72}});
}

TEST_F(HeaderDrawing, EvenArrowWidthGrowsByOneAndTheArrowKeepsItsMiddle) {
    // 22 pixels high: (22 - 4) / 2 = 9 is odd and stays; 5 strips from row 8.
    ASSERT_EQ(grid_->put_SortArrowColumn(1), S_OK);
    Canvas canvas(40, 22);
    DrawItem(canvas, 1, false);
    ExpectArrow(canvas, {{8, 27, 35}, {9, 28, 34}, {10, 29, 33}, {11, 30, 32}, {12, 31, 31}});
    // 16 pixels high: (16 - 4) / 2 = 6 becomes 7; 4 strips from row 6.
    Canvas small(40, 16);
    DrawItem(small, 1, false);
    ExpectArrow(small, {{6, 29, 35}, {7, 30, 34}, {8, 31, 33}, {9, 32, 32}});
}

TEST_F(HeaderDrawing, TextThatFitsIsDrawnWholeBesideTheEdges) {
    SetHeader(1, L"Qty");
    Canvas canvas(80, 20);
    DrawItem(canvas, 1, false);
    Canvas expected(80, 20);
    DrawExpectedText(expected, L"Qty", {3, 1, 77, 20}, DT_SINGLELINE | DT_NOPREFIX | DT_LEFT);
    EXPECT_TRUE(canvas.SameAs(expected));

    Canvas pressed(80, 20);
    DrawItem(pressed, 1, true);
    DrawExpectedText(expected, L"Qty", {4, 2, 77, 20}, DT_SINGLELINE | DT_NOPREFIX | DT_LEFT);
    EXPECT_TRUE(pressed.SameAs(expected));

    // The first column of a list view is always left-aligned: the second one.
    SetHeader(2, L"Qty");
    ASSERT_EQ(grid_->put_ColumnAlignment(2, lrAlignRight), S_OK);
    DrawItem(canvas, 2, false);
    DrawExpectedText(expected, L"Qty", {3, 1, 77, 20}, DT_SINGLELINE | DT_NOPREFIX | DT_RIGHT);
    EXPECT_TRUE(canvas.SameAs(expected));
}

TEST_F(HeaderDrawing, TooWideTextIsItsLeadingCharactersAndDots) {
    const std::wstring text = L"Quantity on hand";
    SetHeader(2, text.c_str());
    ASSERT_EQ(grid_->put_SortArrowColumn(2), S_OK);
    Canvas canvas(80, 20);
    DrawItem(canvas, 2, false);
    // The text ends where the arrow begins (x 67); it starts 3 pixels in.
    const int room = 67 - 3;
    ASSERT_GT(HeaderTextWidth(text), room);
    size_t keep = 1;
    while (keep + 1 < text.size() && HeaderTextWidth(text.substr(0, keep + 1) + L"...") <= room) {
        ++keep;
    }
    const std::wstring shortened = text.substr(0, keep) + L"...";
    Canvas expected(80, 20);
    DrawExpectedText(expected, shortened.c_str(), {3, 1, 67, 20},
                     DT_SINGLELINE | DT_NOPREFIX | DT_LEFT);
    // The arrow as well.
    common::UniqueGdiObject brush(::CreateSolidBrush(kFore));
    for (int i = 0; i < 5; ++i) {
        const RECT strip = {67 + i, 7 + i, 76 - i, 8 + i};
        ::FillRect(expected.dc(), &strip, static_cast<HBRUSH>(brush.get()));
    }
    EXPECT_TRUE(canvas.SameAs(expected))
        << "expected \"" << std::string(shortened.begin(), shortened.end()) << "\"";
}

TEST_F(HeaderDrawing, ANarrowColumnStillShowsOneCharacter) {
    SetHeader(1, L"Warehouse");
    Canvas canvas(12, 20);
    DrawItem(canvas, 1, false);
    Canvas expected(12, 20);
    DrawExpectedText(expected, L"W...", {3, 1, 9, 20}, DT_SINGLELINE | DT_NOPREFIX | DT_LEFT);
    EXPECT_TRUE(canvas.SameAs(expected));
}

TEST_F(HeaderDrawing, TheHeaderItselfPaintsThroughTheGrid) {
    ASSERT_EQ(grid_->put_SortArrowColumn(2), S_OK);
    RECT first = {};
    RECT second = {};
    ::SendMessageW(Header(), HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    ::SendMessageW(Header(), HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
    RECT client = {};
    ::GetClientRect(Header(), &client);
    Canvas canvas(client.right, client.bottom);
    ::SendMessageW(Header(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()),
                   PRF_CLIENT | PRF_ERASEBKGND);
    auto countFore = [&](const RECT& area) {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                count += canvas.At(x, y) == kFore ? 1 : 0;
            }
        }
        return count;
    };
    EXPECT_EQ(countFore(first), 0);
    EXPECT_GT(countFore(second), 0) << "the arrow of column 2";
    EXPECT_EQ(canvas.At(first.left + 5, first.top + 2), kBack);
}

TEST_F(HeaderDrawing, BackgroundsAreErasedInTheGridsColours) {
    ASSERT_EQ(grid_->put_ItemBackColor(RGB(10, 200, 30)), S_OK);
    RECT client = {};
    ::GetClientRect(List(), &client);
    Canvas list(client.right, client.bottom);
    ::SetBkColor(list.dc(), RGB(7, 7, 7));
    EXPECT_EQ(::SendMessageW(List(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(list.dc()), 0), 1);
    EXPECT_EQ(list.At(0, 0), RGB(10, 200, 30));
    EXPECT_EQ(list.At(client.right - 1, client.bottom - 1), RGB(10, 200, 30));
    EXPECT_EQ(::GetBkColor(list.dc()), RGB(7, 7, 7)) << "the background colour is put back";

    ::GetClientRect(Header(), &client);
    Canvas header(client.right, client.bottom);
    EXPECT_NE(::SendMessageW(Header(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(header.dc()), 0), 0);
    EXPECT_EQ(header.At(client.right - 1, 0), kBack);
}

} // namespace
