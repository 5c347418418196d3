// The platform image decoder: GIF, PNG and BMP through the read callback,
// scaled and fitted as asked, failures reported as failures.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/handle.h"
#include "imgdecmp.h"
#include "testsupport/paths.h"

namespace {

struct Source {
    std::string bytes;
    size_t at = 0;
};

DWORD CALLBACK ReadSource(LPSTR buffer, DWORD size, LPARAM user) {
    Source& source = *reinterpret_cast<Source*>(user);
    const size_t count = std::min<size_t>(size, source.bytes.size() - source.at);
    std::copy_n(source.bytes.data() + source.at, count, buffer);
    source.at += count;
    return static_cast<DWORD>(count);
}

BOOL CALLBACK Stop(void*, BOOL, LPARAM) {
    return FALSE;
}

class Decoder : public ::testing::Test {
protected:
    void SetUp() override {
        module_.reset(::LoadLibraryW(L"imgdecmp.dll"));
        ASSERT_TRUE(module_);
        decompress_ = reinterpret_cast<DecompressImageFunction>(reinterpret_cast<void*>(
            ::GetProcAddress(module_.get(), MAKEINTRESOURCEA(kDecompressImageOrdinal))));
        ASSERT_NE(decompress_, nullptr);
    }

    HRESULT Decode(const std::string& bytes, common::UniqueGdiObject& bitmap, int scale = 100,
                   int maxWidth = 10000, DecodeProgressFunction progress = nullptr) {
        Source source{bytes};
        BYTE buffer[7]; // small, so that the file comes in many pieces
        HBITMAP decoded = nullptr;
        DecodeRequest request{};
        request.size = sizeof(request);
        request.buffer = buffer;
        request.bufferSize = sizeof(buffer);
        request.bitmap = &decoded;
        request.bitDepth = 24;
        request.user = reinterpret_cast<LPARAM>(&source);
        request.scale = scale;
        request.maxWidth = maxWidth;
        request.maxHeight = 10000;
        request.read = ReadSource;
        request.progress = progress;
        const HRESULT hr = decompress_(&request);
        bitmap.reset(decoded);
        return hr;
    }

    static std::string Sample(const wchar_t* name) {
        return testsupport::ReadFileBytes(testsupport::ProgramFolder() + L"picture_data\\" + name);
    }

    static COLORREF PixelAt(HGDIOBJ bitmap, int x, int y) {
        common::UniqueCreatedDc dc(::CreateCompatibleDC(nullptr));
        common::SelectObjectScope selected(dc.get(), bitmap);
        return ::GetPixel(dc.get(), x, y);
    }

    common::UniqueModule module_;
    DecompressImageFunction decompress_ = nullptr;
};

TEST_F(Decoder, GifPngAndBmpDecodeToTheirPixels) {
    for (const wchar_t* name : {L"corners.gif", L"corners.png", L"corners.bmp"}) {
        SCOPED_TRACE(::testing::Message() << name);
        common::UniqueGdiObject bitmap;
        ASSERT_EQ(Decode(Sample(name), bitmap), S_OK);
        ASSERT_TRUE(bitmap);
        BITMAP described{};
        ASSERT_NE(::GetObjectW(bitmap.get(), sizeof(described), &described), 0);
        EXPECT_EQ(described.bmWidth, 2);
        EXPECT_EQ(PixelAt(bitmap.get(), 0, 0), RGB(255, 0, 0));
        EXPECT_EQ(PixelAt(bitmap.get(), 1, 0), RGB(0, 255, 0));
        EXPECT_EQ(PixelAt(bitmap.get(), 0, 1), RGB(0, 0, 255));
        EXPECT_EQ(PixelAt(bitmap.get(), 1, 1), RGB(255, 255, 255));
    }
}

TEST_F(Decoder, EveryPngLayoutDecodes) {
    for (const wchar_t* name :
         {L"corners-rgb.png", L"corners-rgba.png", L"corners-rgb16.png", L"corners-rgba16.png",
          L"corners-palette8.png", L"corners-interlaced.png", L"corners-translucent.png"}) {
        SCOPED_TRACE(::testing::Message() << name);
        common::UniqueGdiObject bitmap;
        ASSERT_EQ(Decode(Sample(name), bitmap), S_OK);
        EXPECT_EQ(PixelAt(bitmap.get(), 0, 0), RGB(255, 0, 0));
        EXPECT_EQ(PixelAt(bitmap.get(), 1, 0), RGB(0, 255, 0));
        EXPECT_EQ(PixelAt(bitmap.get(), 0, 1), RGB(0, 0, 255));
        EXPECT_EQ(PixelAt(bitmap.get(), 1, 1), RGB(255, 255, 255));
    }
    // Grey pictures come back grey, white staying white.
    for (const wchar_t* name : {L"corners-grey.png", L"corners-grey16.png", L"corners-mono.png"}) {
        SCOPED_TRACE(::testing::Message() << name);
        common::UniqueGdiObject bitmap;
        ASSERT_EQ(Decode(Sample(name), bitmap), S_OK);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 2; ++x) {
                const COLORREF c = PixelAt(bitmap.get(), x, y);
                EXPECT_TRUE(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c))
                    << x << "," << y;
            }
        }
        EXPECT_EQ(PixelAt(bitmap.get(), 1, 1), RGB(255, 255, 255));
    }
}

TEST_F(Decoder, ScaleAndLargestWidthShrinkThePicture) {
    const std::string jpeg = Sample(L"sample.jpg"); // 37 × 23
    common::UniqueGdiObject bitmap;
    ASSERT_EQ(Decode(jpeg, bitmap, 50), S_OK);
    BITMAP described{};
    ::GetObjectW(bitmap.get(), sizeof(described), &described);
    EXPECT_EQ(described.bmWidth, 18);
    EXPECT_EQ(std::abs(described.bmHeight), 11);
    ASSERT_EQ(Decode(jpeg, bitmap, 100, 10), S_OK);
    ::GetObjectW(bitmap.get(), sizeof(described), &described);
    EXPECT_EQ(described.bmWidth, 10);
    EXPECT_EQ(std::abs(described.bmHeight), 6);
}

TEST_F(Decoder, FailuresReturnNoBitmap) {
    common::UniqueGdiObject bitmap;
    EXPECT_LT(Decode("not a picture at all", bitmap), 0);
    EXPECT_FALSE(bitmap);
    EXPECT_LT(Decode("", bitmap), 0);
    std::string cut = Sample(L"corners.gif");
    cut.resize(cut.size() / 2);
    EXPECT_LT(Decode(cut, bitmap), 0);
    EXPECT_FALSE(bitmap);
    EXPECT_LT(Decode(Sample(L"corners.gif"), bitmap, 100, 10000, Stop), 0);
    EXPECT_FALSE(bitmap);
    EXPECT_EQ(decompress_(nullptr), E_INVALIDARG);
}

} // namespace
