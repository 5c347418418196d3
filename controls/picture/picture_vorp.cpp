// PictureVorp's members.
#include "picture_vorp.h"

#include <string_view>

#include "common/com.h"
#include "common/handle.h"
#include "handle_values.h"
#include "jpeg_codec.h"
#include "platform_decoder.h"

namespace {

const wchar_t kNoPicture[] = L"No picture loaded";
const wchar_t kCannotLoadFile[] = L"Unable to load file";
const wchar_t kCannotLoadResource[] = L"Unable to load resource";

// The extensions that go to the JPEG library; every other file goes to the
// platform decoder.
bool HasJpegExtension(std::wstring_view name) noexcept {
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos) {
        return false;
    }
    const std::wstring_view extension = name.substr(dot);
    for (const wchar_t* jpeg : {L".jpg", L".jpeg", L".jpe"}) {
        const std::wstring_view candidate(jpeg);
        if (extension.size() == candidate.size() &&
            ::CompareStringOrdinal(extension.data(), static_cast<int>(extension.size()),
                                   candidate.data(), static_cast<int>(candidate.size()),
                                   TRUE) == CSTR_EQUAL) {
            return true;
        }
    }
    return false;
}

bool PaletteDevice(HDC dc) noexcept {
    return (::GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
}

} // namespace

const frame::ObjectClass& PictureVorp::Class() {
    static const frame::ObjectClass cls{&CLSID_PictureVorp, &IID_IPictureVorp, nullptr};
    return cls;
}

PictureVorp::PictureVorp() : propertyNotify_(this, IID_IPropertyNotifySink) {
    AddConnectionPoint(&propertyNotify_);
}

void PictureVorp::NotifyChanged() noexcept {
    try {
        for (const auto& sink : propertyNotify_.Sinks()) {
            static_cast<IPropertyNotifySink*>(sink.get())->OnChanged(DISPID_UNKNOWN);
        }
    } catch (...) {
    }
}

HRESULT PictureVorp::get_Handle(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = HandleToValue(image_.bitmap());
    return S_OK;
}

HRESULT PictureVorp::get_hPal(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = HandleToValue(image_.palette());
    return S_OK;
}

HRESULT PictureVorp::get_Type(PictureType* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = type_;
    return S_OK;
}

HRESULT PictureVorp::get_Width(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = image_.header().biWidth;
    return S_OK;
}

HRESULT PictureVorp::get_Height(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = image_.header().biHeight;
    return S_OK;
}

HRESULT PictureVorp::Draw(LONG hdc, LONG x, LONG y, LONG cx, LONG cy, LONG xSrc, LONG ySrc,
                          LONG cxSrc, LONG cySrc) {
    if (image_.empty()) {
        return ReportError(E_INVALIDARG, kNoPicture);
    }
    const LONG width = image_.header().biWidth;
    const LONG height = image_.header().biHeight;
    cx = cx == -1 ? width : cx;
    cy = cy == -1 ? height : cy;
    cxSrc = cxSrc == -1 ? width : cxSrc;
    cySrc = cySrc == -1 ? height : cySrc;

    const HDC target = ValueToHandle<HDC>(hdc);
    common::UniqueCreatedDc memory(::CreateCompatibleDC(target));
    if (!memory) {
        return E_FAIL;
    }
    common::SelectObjectScope holding(memory.get(), image_.bitmap());
    HPALETTE previous = nullptr;
    if (image_.palette() != nullptr && PaletteDevice(target)) {
        previous = ::SelectPalette(target, image_.palette(), FALSE);
        ::RealizePalette(target);
    }
    BOOL drawn = FALSE;
    if (cx != 0 && cy != 0) {
        drawn = ::StretchBlt(target, x, y, cx, cy, memory.get(), xSrc, ySrc, cxSrc, cySrc, SRCCOPY);
    } else {
        drawn = ::BitBlt(target, x, y, width, height, memory.get(), 0, 0, SRCCOPY);
    }
    if (previous != nullptr) {
        ::SelectPalette(target, previous, FALSE);
    }
    return drawn ? S_OK : E_FAIL;
}

bool PictureVorp::SaveBitmapFile(const wchar_t* path) const noexcept {
    common::UniqueFile file(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    const BITMAPINFOHEADER& info = image_.header();
    const DWORD colorBytes = 4 * static_cast<DWORD>(image_.colorCount());
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + colorBytes;
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42; // "BM"
    header.bfSize = info.biSizeImage + offset;
    header.bfOffBits = offset;
    static_assert(sizeof(BITMAPFILEHEADER) == 14 && sizeof(BITMAPINFOHEADER) == 40);
    ::GdiFlush();
    DWORD written = 0;
    return ::WriteFile(file.get(), &header, sizeof(header), &written, nullptr) &&
           ::WriteFile(file.get(), &info, sizeof(info), &written, nullptr) &&
           (colorBytes == 0 ||
            ::WriteFile(file.get(), image_.colors(), colorBytes, &written, nullptr)) &&
           ::WriteFile(file.get(), image_.bits(), info.biSizeImage, &written, nullptr);
}

HRESULT PictureVorp::SaveFile(BSTR File, PictureType PicType) {
    if (image_.empty()) {
        return E_FAIL;
    }
    const wchar_t* path = File != nullptr ? File : L"";
    switch (PicType) {
    case PicBMP:
        return SaveBitmapFile(path) ? S_OK : E_FAIL;
    case PicJPEG:
        return EncodeJpegFile(path, image_, jpegQuality_) ? S_OK : E_FAIL;
    default:
        return E_NOTIMPL;
    }
}

HRESULT PictureVorp::LoadFile(BSTR Filename) {
    common::WindowDc screen(nullptr);
    if (!screen) {
        return ReportError(DISP_E_EXCEPTION, kCannotLoadFile);
    }
    const std::wstring_view name(Filename != nullptr ? Filename : L"", ::SysStringLen(Filename));
    const wchar_t* path = Filename != nullptr ? Filename : L"";
    const bool loaded = HasJpegExtension(name) ? DecodeJpegFile(path, screen.get(), image_)
                                               : DecodeWithPlatform(path, screen.get(), image_);
    if (!loaded) {
        image_.Clear();
        return ReportError(DISP_E_EXCEPTION, kCannotLoadFile);
    }
    type_ = PicBMP;
    NotifyChanged();
    return S_OK;
}

HRESULT PictureVorp::LoadResource(LONG hInstance, BSTR ResourceID) {
    image_.Clear();
    type_ = PicNone;
    common::UniqueGdiObject loaded(::LoadImageW(ValueToHandle<HINSTANCE>(hInstance),
                                                ResourceID != nullptr ? ResourceID : L"",
                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!loaded) {
        return ReportError(DISP_E_EXCEPTION, kCannotLoadResource);
    }
    common::WindowDc screen(nullptr);
    if (!screen || !image_.Import(screen.get(), static_cast<HBITMAP>(loaded.get()), nullptr)) {
        return ReportError(DISP_E_EXCEPTION, kCannotLoadResource);
    }
    NotifyChanged();
    return S_OK;
}

HRESULT PictureVorp::Clear() {
    image_.Clear();
    type_ = PicNone;
    NotifyChanged();
    return S_OK;
}

HRESULT PictureVorp::CaptureDC(LONG hdc, LONG left, LONG top, LONG Width, LONG Height) {
    image_.Clear();
    const HDC source = ValueToHandle<HDC>(hdc);
    // hdc 0 is the screen.
    common::WindowDc screen(nullptr);
    const HDC from = source != nullptr ? source : screen.get();
    common::UniqueCreatedDc memory(::CreateCompatibleDC(from));
    common::UniqueGdiObject captured(::CreateCompatibleBitmap(from, Width, Height));
    if (!memory || !captured) {
        return S_OK;
    }
    {
        common::SelectObjectScope holding(memory.get(), captured.get());
        ::BitBlt(memory.get(), 0, 0, Width, Height, from, left, top, SRCCOPY);
    }
    image_.Import(memory.get(), static_cast<HBITMAP>(captured.get()), nullptr);
    return S_OK;
}

HRESULT PictureVorp::Detach(LONG* hBitmap, LONG* hPalette) {
    if (hBitmap == nullptr || hPalette == nullptr) {
        return E_POINTER;
    }
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    image_.Detach(bitmap, palette);
    *hBitmap = HandleToValue(bitmap);
    *hPalette = HandleToValue(palette);
    type_ = PicNone;
    return S_OK;
}

HRESULT PictureVorp::get_JpegQuality(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = jpegQuality_;
    return S_OK;
}

HRESULT PictureVorp::put_JpegQuality(LONG newVal) {
    jpegQuality_ = newVal;
    return S_OK;
}

HRESULT PictureVorp::Attach(LONG hBitmap, LONG hPalette) {
    image_.Clear();
    common::WindowDc screen(nullptr);
    if (!screen) {
        return E_UNEXPECTED;
    }
    return image_.Import(screen.get(), ValueToHandle<HBITMAP>(hBitmap),
                         ValueToHandle<HPALETTE>(hPalette))
               ? S_OK
               : E_FAIL;
}

HRESULT PictureVorp::Rotate(LONG x, LONG y, double Angle, OLE_COLOR BackColor,
                            IPictureVorp** ppPic) {
    if (ppPic == nullptr) {
        return E_POINTER;
    }
    *ppPic = nullptr;
    common::ComPtr<IPictureVorp> rotated;
    HRESULT hr = ::CoCreateInstance(CLSID_PictureVorp, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IPictureVorp, rotated.put_void());
    if (FAILED(hr)) {
        return hr;
    }
    const COLORREF back = (BackColor & 0x80000000u) != 0 ? ::GetSysColor(BackColor & 0xFF)
                                                         : (BackColor & 0x00FFFFFFu);
    common::WindowDc screen(nullptr);
    DibImage turned;
    hr = RotateImage(image_, x, y, Angle, back, screen.get(), turned);
    if (FAILED(hr)) {
        return hr;
    }
    hr = rotated->Attach(HandleToValue(turned.bitmap()), HandleToValue(turned.palette()));
    if (FAILED(hr)) {
        return hr;
    }
    *ppPic = rotated.detach();
    return S_OK;
}
