// The picture server as its tests reach it: registered, in an apartment,
// with the sample pictures the build made.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OleVorpel.h"
#include "common/com.h"
#include "common/handle.h"
#include "testsupport/paths.h"
#include "testsupport/server_registration.h"

inline HRESULT RegisterPictureServer() {
    return testsupport::RegisterServer(L"OleVorpel.dll");
}

inline std::wstring SamplePath(const wchar_t* name) {
    return testsupport::ProgramFolder() + L"picture_data\\" + name;
}

// A scratch file of the test's own, removed afterwards.
inline std::wstring ScratchPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"picture_tests_" + name;
}

// The 24-bit pixels of a bitmap, top row first, as blue, green, red triples.
struct Pixels {
    LONG width = 0;
    LONG height = 0;
    std::vector<BYTE> bgr;
    const BYTE* At(LONG x, LONG y) const { return &bgr[(static_cast<size_t>(y) * width + x) * 3]; }
};

inline Pixels ReadPixels(HBITMAP bitmap) {
    Pixels pixels;
    BITMAP described{};
    if (::GetObjectW(bitmap, sizeof(described), &described) == 0) {
        return pixels;
    }
    pixels.width = described.bmWidth;
    pixels.height = described.bmHeight < 0 ? -described.bmHeight : described.bmHeight;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    const size_t stride = (static_cast<size_t>(pixels.width) * 3 + 3) & ~size_t{3};
    std::vector<BYTE> rows(stride * pixels.height);
    common::WindowDc screen(nullptr);
    ::GetDIBits(screen.get(), bitmap, 0, pixels.height, rows.data(), &info, DIB_RGB_COLORS);
    pixels.bgr.resize(static_cast<size_t>(pixels.width) * pixels.height * 3);
    for (LONG y = 0; y < pixels.height; ++y) {
        std::copy_n(&rows[y * stride], pixels.width * 3, &pixels.bgr[y * pixels.width * 3]);
    }
    return pixels;
}

inline HBITMAP BitmapOf(IPictureVorp* picture) {
    LONG handle = 0;
    picture->get_Handle(&handle);
    return reinterpret_cast<HBITMAP>(static_cast<LONG_PTR>(handle));
}

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegisterPictureServer(), S_OK);
        picture_ = NewPicture();
        ASSERT_TRUE(picture_);
    }

    static common::ComPtr<IPictureVorp> NewPicture() {
        common::ComPtr<IPictureVorp> picture;
        ::CoCreateInstance(CLSID_PictureVorp, nullptr, CLSCTX_INPROC_SERVER, IID_IPictureVorp,
                           picture.put_void());
        return picture;
    }

    HRESULT Load(const std::wstring& path) {
        common::UniqueBstr name(path);
        return picture_->LoadFile(name.get());
    }

    // Fills the picture with a 24-bit bitmap whose pixel (x, y) (top row
    // first) is colour(x, y).
    template <typename Colour>
    void AttachPainted(IPictureVorp* picture, LONG w, LONG h, Colour colour) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        common::UniqueGdiObject bitmap(
            ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        ASSERT_TRUE(bitmap);
        const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
        for (LONG y = 0; y < h; ++y) {
            for (LONG x = 0; x < w; ++x) {
                const COLORREF c = colour(x, y);
                BYTE* p = static_cast<BYTE*>(bits) + y * stride + x * 3;
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
            }
        }
        ASSERT_EQ(picture->Attach(static_cast<LONG>(reinterpret_cast<LONG_PTR>(bitmap.get())), 0),
                  S_OK);
    }

    common::ComApartment apartment_;
    common::ComPtr<IPictureVorp> picture_;
};
