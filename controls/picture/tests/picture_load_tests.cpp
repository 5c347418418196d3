// Loading pictures: JPEG through the JPEG library, everything else through
// the platform decoder, chosen by the file's last extension.
#include "picture_fixture.h"

namespace {

// A 24-bit bottom-up BMP as djpeg writes it, as top-row-first pixels.
Pixels ReadBmpFile(const std::wstring& path) {
    Pixels pixels;
    const std::string bytes = testsupport::ReadFileBytes(path);
    if (bytes.size() < 54) {
        return pixels;
    }
    auto u32 = [&bytes](size_t at) {
        return static_cast<uint32_t>(static_cast<BYTE>(bytes[at])) |
               static_cast<uint32_t>(static_cast<BYTE>(bytes[at + 1])) << 8 |
               static_cast<uint32_t>(static_cast<BYTE>(bytes[at + 2])) << 16 |
               static_cast<uint32_t>(static_cast<BYTE>(bytes[at + 3])) << 24;
    };
    const uint32_t offset = u32(10);
    pixels.width = static_cast<LONG>(u32(18));
    pixels.height = static_cast<LONG>(u32(22));
    const size_t stride = (static_cast<size_t>(pixels.width) * 3 + 3) & ~size_t{3};
    for (LONG y = 0; y < pixels.height; ++y) {
        const size_t row = offset + (pixels.height - 1 - y) * stride;
        pixels.bgr.insert(pixels.bgr.end(), bytes.begin() + row,
                          bytes.begin() + row + pixels.width * 3);
    }
    return pixels;
}

WORD BitCountOf(HBITMAP bitmap) {
    DIBSECTION section{};
    ::GetObjectW(bitmap, sizeof(section), &section);
    return section.dsBmih.biBitCount;
}

class PictureLoad : public PictureTest {
protected:
    void TearDown() override {
        for (const std::wstring& path : scratch_) {
            ::DeleteFileW(path.c_str());
        }
    }
    // A copy of a sample under another name.
    std::wstring CopyAs(const wchar_t* sample, const wchar_t* name) {
        std::wstring path = ScratchPath(name);
        EXPECT_TRUE(::CopyFileW(SamplePath(sample).c_str(), path.c_str(), FALSE));
        scratch_.push_back(path);
        return path;
    }
    std::vector<std::wstring> scratch_;
};

TEST_F(PictureLoad, JpegPixelsAreTheLibrarysOwnDecoding) {
    ASSERT_EQ(Load(SamplePath(L"sample.jpg")), S_OK);
    LONG width = 0, height = 0;
    PictureType type = PicNone;
    picture_->get_Width(&width);
    picture_->get_Height(&height);
    picture_->get_Type(&type);
    EXPECT_EQ(width, 37);
    EXPECT_EQ(height, 23);
    EXPECT_EQ(type, PicBMP);
    EXPECT_EQ(BitCountOf(BitmapOf(picture_.get())), 24);

    const Pixels loaded = ReadPixels(BitmapOf(picture_.get()));
    const Pixels reference = ReadBmpFile(SamplePath(L"sample_reference.bmp"));
    ASSERT_EQ(reference.width, 37);
    ASSERT_EQ(loaded.bgr.size(), reference.bgr.size());
    int worst = 0;
    for (size_t i = 0; i < loaded.bgr.size(); ++i) {
        worst = std::max(worst, std::abs(loaded.bgr[i] - reference.bgr[i]));
    }
    EXPECT_LE(worst, 1) << "decoded pixels differ from djpeg's";
    // The top of the picture is red, the bottom blue: rows are not flipped.
    EXPECT_GT(loaded.At(0, 0)[2], loaded.At(0, 0)[0]);
    EXPECT_GT(loaded.At(0, 22)[0], loaded.At(0, 22)[2]);
}

TEST_F(PictureLoad, GreyJpegIsEightBitsPerPixel) {
    ASSERT_EQ(Load(SamplePath(L"grey.jpg")), S_OK);
    EXPECT_EQ(BitCountOf(BitmapOf(picture_.get())), 8);
}

TEST_F(PictureLoad, TheLastExtensionChoosesTheDecoder) {
    // A GIF called .JPE goes to the JPEG library, which refuses it.
    EXPECT_EQ(Load(CopyAs(L"corners.gif", L"corners.JPE")), DISP_E_EXCEPTION);
    // ".jpg" earlier in the name, or no dot at all: the platform decoder.
    EXPECT_EQ(Load(CopyAs(L"corners.gif", L"corners.jpg.gif")), S_OK);
    EXPECT_EQ(Load(CopyAs(L"corners.gif", L"corners")), S_OK);
    EXPECT_EQ(Load(CopyAs(L"sample.jpg", L"sample.JPEG")), S_OK);
    LONG width = 0;
    picture_->get_Width(&width);
    EXPECT_EQ(width, 37);
}

TEST_F(PictureLoad, PlatformFormatsKeepTheirPixels) {
    for (const wchar_t* name : {L"corners.gif", L"corners.png", L"corners.bmp"}) {
        SCOPED_TRACE(::testing::Message() << name);
        ASSERT_EQ(Load(SamplePath(name)), S_OK);
        const Pixels pixels = ReadPixels(BitmapOf(picture_.get()));
        ASSERT_EQ(pixels.width, 2);
        ASSERT_EQ(pixels.height, 2);
        EXPECT_EQ(RGB(pixels.At(0, 0)[2], pixels.At(0, 0)[1], pixels.At(0, 0)[0]), RGB(255, 0, 0));
        EXPECT_EQ(RGB(pixels.At(1, 0)[2], pixels.At(1, 0)[1], pixels.At(1, 0)[0]), RGB(0, 255, 0));
        EXPECT_EQ(RGB(pixels.At(0, 1)[2], pixels.At(0, 1)[1], pixels.At(0, 1)[0]), RGB(0, 0, 255));
        EXPECT_EQ(RGB(pixels.At(1, 1)[2], pixels.At(1, 1)[1], pixels.At(1, 1)[0]),
                  RGB(255, 255, 255));
        PictureType type = PicNone;
        picture_->get_Type(&type);
        EXPECT_EQ(type, PicBMP);
    }
}

TEST_F(PictureLoad, AFailedLoadEmptiesThePictureButKeepsItsType) {
    ASSERT_EQ(Load(SamplePath(L"sample.jpg")), S_OK);
    EXPECT_EQ(Load(ScratchPath(L"missing.jpg")), DISP_E_EXCEPTION);
    common::ComPtr<IErrorInfo> error;
    ASSERT_EQ(::GetErrorInfo(0, error.put()), S_OK);
    common::UniqueBstr description;
    error->GetDescription(description.put());
    EXPECT_EQ(description.view(), L"Unable to load file");

    PictureType type = PicNone;
    LONG handle = -1, width = -1;
    picture_->get_Type(&type);
    picture_->get_Handle(&handle);
    picture_->get_Width(&width);
    EXPECT_EQ(type, PicBMP);
    EXPECT_EQ(handle, 0);
    EXPECT_EQ(width, 0);
}

TEST_F(PictureLoad, AMissingResourceLeavesTypeZero) {
    ASSERT_EQ(Load(SamplePath(L"sample.jpg")), S_OK);
    common::UniqueBstr id(L"NoSuchBitmap");
    EXPECT_EQ(
        picture_->LoadResource(
            static_cast<LONG>(reinterpret_cast<LONG_PTR>(::GetModuleHandleW(nullptr))), id.get()),
        DISP_E_EXCEPTION);
    PictureType type = PicBMP;
    picture_->get_Type(&type);
    EXPECT_EQ(type, PicNone);
}

TEST_F(PictureLoad, DetachHandsOverTheBitmapAndEmptiesThePicture) {
    ASSERT_EQ(Load(SamplePath(L"sample.jpg")), S_OK);
    LONG bitmap = 0, palette = -1;
    EXPECT_EQ(picture_->Detach(nullptr, &palette), E_POINTER);
    ASSERT_EQ(picture_->Detach(&bitmap, &palette), S_OK);
    common::UniqueGdiObject owned(reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(bitmap)));
    EXPECT_NE(::GetObjectType(owned.get()), 0u);
    EXPECT_EQ(palette, 0);
    LONG handle = -1, width = -1, height = -1;
    picture_->get_Handle(&handle);
    picture_->get_Width(&width);
    picture_->get_Height(&height);
    EXPECT_EQ(handle, 0);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
}

class ChangeCounter final : public IPropertyNotifySink {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IPropertyNotifySink) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override {
        ids.push_back(id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }
    std::vector<DISPID> ids;
};

TEST_F(PictureLoad, LoadAndClearNotifyEveryProperty) {
    ChangeCounter sink;
    auto container = common::ComPtr<IPictureVorp>(picture_).as<IConnectionPointContainer>();
    ASSERT_TRUE(container);
    common::ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, point.put()), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    ASSERT_EQ(Load(SamplePath(L"sample.jpg")), S_OK);
    Load(ScratchPath(L"missing.jpg"));
    picture_->Clear();
    EXPECT_EQ(sink.ids, (std::vector<DISPID>{DISPID_UNKNOWN, DISPID_UNKNOWN}));
    point->Unadvise(cookie);
}

} // namespace
