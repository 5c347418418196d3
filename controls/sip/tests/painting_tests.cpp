// The keyboard panel's picture, printed into a bitmap.
#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include "sip_fixture.h"

namespace {

constexpr COLORREF kText = RGB(0, 0, 192);
constexpr COLORREF kBack = RGB(255, 255, 0);

// The panel's client area as 32-bit pixels.
class Picture {
public:
    explicit Picture(HWND panel) {
        RECT client = {};
        ::GetClientRect(panel, &client);
        width_ = client.right;
        height_ = client.bottom;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        common::UniqueCreatedDc dc(::CreateCompatibleDC(nullptr));
        common::UniqueGdiObject bitmap(
            ::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        {
            common::SelectObjectScope scope(dc.get(), bitmap.get());
            ::SendMessageW(panel, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
            ::GdiFlush();
            const auto* pixels = static_cast<const DWORD*>(bits);
            pixels_.assign(pixels, pixels + width_ * height_);
        }
    }
    COLORREF At(int x, int y) const {
        const DWORD p = pixels_[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int Count(const RECT& area, COLORREF colour) const {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                count += At(x, y) == colour ? 1 : 0;
            }
        }
        return count;
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<DWORD> pixels_;
};

// The cells of the integer layout in the 240 × 80 panel; the inner part
// leaves out the key's edge.
RECT Inner(int row, int col) {
    const int x = 48 * col;
    const int y = 1 + 26 * row;
    return {x + 3, y + 3, x + 44, y + 22};
}

class KeyboardPicture : public KeyboardTest {
protected:
    void ShowPanel(DWORD flat) {
        SetConfigDword(L"TextColor", kText);
        SetConfigDword(L"BackColor", kBack);
        SetConfigDword(L"Flat", flat);
        SelectKeyboard();
        ShowSip(true);
    }
    void PenDown(int row, int col) {
        const POINT at = CellCentre(row, col);
        ::SendMessageW(Panel(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    }
    void PenUpOffTheKeys() {
        const POINT at = CellCentre(1, 4);
        ::SendMessageW(Panel(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    }
};

TEST_F(KeyboardPicture, FlatLookFillsThePressedKeyAndDrawsItsLabelInTheBackColour) {
    ShowPanel(1);
    PenDown(1, 1); // "5"
    Picture pressed(Panel());
    const RECT five = Inner(1, 1);
    EXPECT_EQ(pressed.At(five.left, five.top), kText);
    EXPECT_GT(pressed.Count(five, kBack), 0) << "the label";
    const RECT four = Inner(1, 0);
    EXPECT_EQ(pressed.At(four.left, four.top), kBack);
    EXPECT_GT(pressed.Count(four, kText), 0) << "the label";
    const RECT empty = Inner(1, 3);
    EXPECT_EQ(pressed.Count(empty, kBack), (empty.right - empty.left) * (empty.bottom - empty.top))
        << "an empty cell shows the background only";

    PenUpOffTheKeys();
    Picture released(Panel());
    EXPECT_EQ(released.At(five.left, five.top), kBack);
    EXPECT_GT(released.Count(five, kText), 0);
}

TEST_F(KeyboardPicture, ThreeDLookSinksThePressedKeyWithoutFillingIt) {
    ShowPanel(0);
    Picture before(Panel());
    PenDown(1, 1);
    Picture pressed(Panel());
    const RECT five = Inner(1, 1);
    EXPECT_EQ(pressed.At(five.left, five.top), kBack);
    EXPECT_GT(pressed.Count(five, kText), 0) << "the label keeps the text colour";
    // The edge: raised before, sunken now; the key beside it stays raised.
    EXPECT_NE(pressed.At(48, 27), before.At(48, 27));
    EXPECT_EQ(pressed.At(0, 27), before.At(0, 27));
    EXPECT_EQ(before.At(0, 27), before.At(48, 27));
    PenUpOffTheKeys();
}

TEST_F(KeyboardPicture, DisabledKeyIsNeverDrawnPressed) {
    SetConfigDword(L"KeyStyle", 4);
    SetConfigString(L"keydisp7", L"5");
    SetConfigString(L"keycode7", L"5");
    SetConfigDword(L"keyuse7", 17);
    ShowPanel(1);
    PenDown(1, 1);
    Picture pressed(Panel());
    const RECT five = Inner(1, 1);
    EXPECT_EQ(pressed.At(five.left, five.top), kBack);
    EXPECT_GT(pressed.Count(five, kText), 0);
    PenUpOffTheKeys();
}

TEST_F(KeyboardPicture, ColoursWithTheTopBitSetNameSystemColours) {
    SetConfigDword(L"TextColor", 0x80000000 | COLOR_HIGHLIGHT);
    SetConfigDword(L"BackColor", 0x80000000 | COLOR_WINDOW);
    SelectKeyboard();
    ShowSip(true);
    Picture picture(Panel());
    const RECT empty = Inner(1, 3);
    EXPECT_EQ(picture.At(empty.left, empty.top), ::GetSysColor(COLOR_WINDOW));
    EXPECT_GT(picture.Count(Inner(0, 0), ::GetSysColor(COLOR_HIGHLIGHT)), 0);
}

} // namespace
