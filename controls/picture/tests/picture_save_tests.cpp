// Saving pictures: BMP files exactly as held, baseline JPEG of 24-bit images.
#include "picture_fixture.h"

namespace {

uint32_t U32(const std::string& bytes, size_t at) {
    return static_cast<uint32_t>(static_cast<BYTE>(bytes[at])) |
           static_cast<uint32_t>(static_cast<BYTE>(bytes[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<BYTE>(bytes[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<BYTE>(bytes[at + 3])) << 24;
}

class PictureSave : public PictureTest {
protected:
    void TearDown() override { ::DeleteFileW(path_.c_str()); }
    HRESULT Save(PictureType type) {
        common::UniqueBstr name(path_);
        return picture_->SaveFile(name.get(), type);
    }
    std::wstring path_ = ScratchPath(L"saved.out");
};

TEST_F(PictureSave, BmpIsHeadersThenBottomUpRows) {
    // 3 × 2: the top row red, the bottom row green, (2, 1) blue.
    AttachPainted(picture_.get(), 3, 2, [](LONG x, LONG y) {
        return x == 2 && y == 1 ? RGB(0, 0, 255) : y == 0 ? RGB(255, 0, 0) : RGB(0, 255, 0);
    });
    ASSERT_EQ(Save(PicBMP), S_OK);
    const std::string bytes = testsupport::ReadFileBytes(path_);
    const size_t stride = 12; // 9 bytes padded to 4
    ASSERT_EQ(bytes.size(), 54 + 2 * stride);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(U32(bytes, 2), 54 + 2 * stride);
    EXPECT_EQ(U32(bytes, 6), 0u);
    EXPECT_EQ(U32(bytes, 10), 54u);
    EXPECT_EQ(U32(bytes, 14), 40u);
    EXPECT_EQ(U32(bytes, 18), 3u);
    EXPECT_EQ(U32(bytes, 22), 2u);
    EXPECT_EQ(U32(bytes, 28) & 0xFFFF, 24u);
    EXPECT_EQ(U32(bytes, 34), 2 * stride);
    // First stored row is the bottom row: green, green, blue (as B, G, R).
    EXPECT_EQ(bytes.substr(54, 9), std::string("\0\xff\0\0\xff\0\xff\0\0", 9));
    EXPECT_EQ(bytes.substr(54 + stride, 9), std::string("\0\0\xff\0\0\xff\0\0\xff", 9));
}

TEST_F(PictureSave, EightBitPictureSavesAsBmpWithItsColourTableButNotAsJpeg) {
    ASSERT_EQ(Load(SamplePath(L"grey.jpg")), S_OK);
    EXPECT_EQ(Save(PicJPEG), E_FAIL);
    ASSERT_EQ(picture_->SaveFile(common::UniqueBstr(path_).get(), PicBMP), S_OK);
    const std::string bytes = testsupport::ReadFileBytes(path_);
    const size_t stride = 40; // 37 padded to 4
    ASSERT_EQ(bytes.size(), 54 + 1024 + 23 * stride);
    EXPECT_EQ(U32(bytes, 10), 54u + 1024u);
    EXPECT_EQ(U32(bytes, 2), 54u + 1024u + 23 * stride);
}

TEST_F(PictureSave, UnsupportedTypesAndEmptyPictures) {
    EXPECT_EQ(Save(PicBMP), E_FAIL);
    EXPECT_EQ(Save(PicGIF), E_FAIL);
    ASSERT_EQ(Load(SamplePath(L"sample.jpg")), S_OK);
    EXPECT_EQ(Save(PicGIF), E_NOTIMPL);
    EXPECT_EQ(Save(PicPNG), E_NOTIMPL);
}

TEST_F(PictureSave, JpegIsBaselineAndDecodesBackToThePicture) {
    ASSERT_EQ(Load(SamplePath(L"sample.jpg")), S_OK);
    const Pixels before = ReadPixels(BitmapOf(picture_.get()));
    picture_->put_JpegQuality(95);
    ASSERT_EQ(Save(PicJPEG), S_OK);
    const std::string bytes = testsupport::ReadFileBytes(path_);
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 2), "\xff\xd8");
    EXPECT_NE(bytes.find("\xff\xc0"), std::string::npos) << "no baseline frame";
    EXPECT_EQ(bytes.find("\xff\xc2"), std::string::npos) << "progressive frame";

    const std::wstring copy = ScratchPath(L"saved.jpg");
    ASSERT_TRUE(::CopyFileW(path_.c_str(), copy.c_str(), FALSE));
    auto again = NewPicture();
    const HRESULT loaded = again->LoadFile(common::UniqueBstr(copy).get());
    ::DeleteFileW(copy.c_str());
    ASSERT_EQ(loaded, S_OK);
    const Pixels after = ReadPixels(BitmapOf(again.get()));
    ASSERT_EQ(after.bgr.size(), before.bgr.size());
    long total = 0;
    for (size_t i = 0; i < after.bgr.size(); ++i) {
        total += std::abs(after.bgr[i] - before.bgr[i]);
    }
    EXPECT_LT(total / static_cast<long>(after.bgr.size()), 4) << "colours changed in the save";
}

} // namespace
