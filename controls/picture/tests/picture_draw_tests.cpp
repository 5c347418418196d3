// Drawing the picture onto a device context, scaled or not.
#include "picture_fixture.h"

namespace {

class PictureDraw : public PictureTest {
protected:
    void SetUp() override {
        PictureTest::SetUp();
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = 16;
        info.bmiHeader.biHeight = -8;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        target_.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0));
        dc_.reset(::CreateCompatibleDC(nullptr));
        selected_ = ::SelectObject(dc_.get(), target_.get());
        // A 2 × 2 picture: every pixel red.
        AttachPainted(picture_.get(), 2, 2, [](LONG, LONG) { return RGB(255, 0, 0); });
    }
    void TearDown() override { ::SelectObject(dc_.get(), selected_); }

    LONG Dc() const { return static_cast<LONG>(reinterpret_cast<LONG_PTR>(dc_.get())); }
    // The red pixels of the target, counted across and down from (0, 0).
    SIZE RedExtent() {
        SIZE extent{};
        while (extent.cx < 16 && ::GetPixel(dc_.get(), extent.cx, 0) == RGB(255, 0, 0)) {
            ++extent.cx;
        }
        while (extent.cy < 8 && ::GetPixel(dc_.get(), 0, extent.cy) == RGB(255, 0, 0)) {
            ++extent.cy;
        }
        return extent;
    }

    common::UniqueGdiObject target_;
    common::UniqueCreatedDc dc_;
    HGDIOBJ selected_ = nullptr;
};

TEST_F(PictureDraw, OnlyThePositionDrawsTheWholePictureUnscaled) {
    ASSERT_EQ(picture_->Draw(Dc(), 0, 0, -1, -1, 0, 0, -1, -1), S_OK);
    EXPECT_EQ(RedExtent().cx, 2);
    EXPECT_EQ(RedExtent().cy, 2);
}

TEST_F(PictureDraw, ZeroWidthDrawsUnscaled) {
    ASSERT_EQ(picture_->Draw(Dc(), 0, 0, 0, 6, 0, 0, -1, -1), S_OK);
    EXPECT_EQ(RedExtent().cx, 2);
    EXPECT_EQ(RedExtent().cy, 2);
}

TEST_F(PictureDraw, DoubleWidthStretchesAcrossOnly) {
    ASSERT_EQ(picture_->Draw(Dc(), 0, 0, 4, -1, 0, 0, -1, -1), S_OK);
    EXPECT_EQ(RedExtent().cx, 4);
    EXPECT_EQ(RedExtent().cy, 2);
}

TEST_F(PictureDraw, AnEmptyPictureSaysSo) {
    picture_->Clear();
    EXPECT_EQ(picture_->Draw(Dc(), 0, 0, -1, -1, 0, 0, -1, -1), E_INVALIDARG);
    common::ComPtr<IErrorInfo> error;
    ASSERT_EQ(::GetErrorInfo(0, error.put()), S_OK);
    common::UniqueBstr description;
    error->GetDescription(description.put());
    EXPECT_EQ(description.view(), L"No picture loaded");
}

} // namespace
