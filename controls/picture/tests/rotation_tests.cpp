// Rotating a picture into a new one: corner mapping, pixel positions and
// the background.
#include "picture_fixture.h"

namespace {

// Pixel (x, row) of a picture, rows in stored order (0 is the bottom row).
COLORREF Stored(const Pixels& p, LONG x, LONG row) {
    const BYTE* pixel = p.At(x, p.height - 1 - row);
    return RGB(pixel[2], pixel[1], pixel[0]);
}

// Every pixel a colour of its own: red = x, green = stored row.
COLORREF Numbered(LONG x, LONG y, LONG height) {
    return RGB(10 + x, 10 + (height - 1 - y), 200);
}

class PictureRotate : public PictureTest {};

TEST_F(PictureRotate, ZeroDegreesKeepsSizeAndPixels) {
    AttachPainted(picture_.get(), 5, 3, [](LONG x, LONG y) { return Numbered(x, y, 3); });
    common::ComPtr<IPictureVorp> rotated;
    ASSERT_EQ(picture_->Rotate(0, 0, 0.0, RGB(0, 0, 0), rotated.put()), S_OK);
    const Pixels before = ReadPixels(BitmapOf(picture_.get()));
    const Pixels after = ReadPixels(BitmapOf(rotated.get()));
    EXPECT_EQ(after.width, 5);
    EXPECT_EQ(after.height, 3);
    EXPECT_EQ(after.bgr, before.bgr);
    LONG palette = 0;
    rotated->get_hPal(&palette);
    EXPECT_NE(palette, 0) << "a rotated picture has a palette";
}

TEST_F(PictureRotate, NinetyDegreesMapsStoredRowsToColumns) {
    AttachPainted(picture_.get(), 3, 2, [](LONG x, LONG y) { return Numbered(x, y, 2); });
    common::ComPtr<IPictureVorp> rotated;
    ASSERT_EQ(picture_->Rotate(0, 0, 90.0, RGB(1, 2, 3), rotated.put()), S_OK);
    const Pixels after = ReadPixels(BitmapOf(rotated.get()));
    ASSERT_EQ(after.width, 2);
    ASSERT_EQ(after.height, 3);
    for (LONG row = 0; row < 3; ++row) {
        // Column 0 maps outside the source; column 1 holds source row 1.
        EXPECT_EQ(Stored(after, 0, row), RGB(1, 2, 3)) << row;
        EXPECT_EQ(Stored(after, 1, row), RGB(10 + row, 10 + 1, 200)) << row;
    }
    // The source is unchanged.
    const Pixels source = ReadPixels(BitmapOf(picture_.get()));
    EXPECT_EQ(source.width, 3);
    EXPECT_EQ(Stored(source, 2, 0), RGB(12, 10, 200));
}

TEST_F(PictureRotate, EightBitBackgroundIsTheMatchingColourIndex) {
    ASSERT_EQ(Load(SamplePath(L"grey.jpg")), S_OK);
    common::ComPtr<IPictureVorp> rotated;
    ASSERT_EQ(picture_->Rotate(0, 0, 45.0, RGB(5, 5, 5), rotated.put()), S_OK);
    DIBSECTION section{};
    ::GetObjectW(BitmapOf(rotated.get()), sizeof(section), &section);
    EXPECT_EQ(section.dsBmih.biBitCount, 8);
    const Pixels after = ReadPixels(BitmapOf(rotated.get()));
    // A corner of the bounding box lies outside the turned picture.
    EXPECT_EQ(Stored(after, 0, 0), RGB(5, 5, 5));
}

TEST_F(PictureRotate, ThirtyTwoBitPicturesAreNotRotated) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    common::UniqueGdiObject bitmap(
        ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0));
    ASSERT_EQ(picture_->Attach(static_cast<LONG>(reinterpret_cast<LONG_PTR>(bitmap.get())), 0),
              S_OK);
    common::ComPtr<IPictureVorp> rotated;
    EXPECT_EQ(picture_->Rotate(0, 0, 30.0, 0, rotated.put()), E_UNEXPECTED);
    EXPECT_FALSE(rotated);
}

} // namespace
