// PictureVorp: one bitmap image for the script, loaded from files, resources
// or a device context, drawn, rotated and saved.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "OleVorpel.h"
#include "dib_image.h"
#include "frame/object.h"

class PictureVorp final : public frame::Object<PictureVorp, IPictureVorp> {
public:
    static const frame::ObjectClass& Class();
    PictureVorp();

    HRESULT STDMETHODCALLTYPE get_Handle(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_hPal(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Type(PictureType* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Width(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Height(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE Draw(LONG hdc, LONG x, LONG y, LONG cx, LONG cy, LONG xSrc, LONG ySrc,
                                   LONG cxSrc, LONG cySrc) override;
    HRESULT STDMETHODCALLTYPE SaveFile(BSTR File, PictureType PicType) override;
    HRESULT STDMETHODCALLTYPE LoadFile(BSTR Filename) override;
    HRESULT STDMETHODCALLTYPE LoadResource(LONG hInstance, BSTR ResourceID) override;
    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE CaptureDC(LONG hdc, LONG left, LONG top, LONG Width,
                                        LONG Height) override;
    HRESULT STDMETHODCALLTYPE Detach(LONG* hBitmap, LONG* hPalette) override;
    HRESULT STDMETHODCALLTYPE get_JpegQuality(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_JpegQuality(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE Attach(LONG hBitmap, LONG hPalette) override;
    HRESULT STDMETHODCALLTYPE Rotate(LONG x, LONG y, double Angle, OLE_COLOR BackColor,
                                     IPictureVorp** ppPic) override;

    const DibImage& image() const noexcept { return image_; }

private:
    void NotifyChanged() noexcept;
    bool SaveBitmapFile(const wchar_t* path) const noexcept;

    frame::ConnectionPoint propertyNotify_;
    DibImage image_;
    PictureType type_ = PicNone;
    LONG jpegQuality_ = 90;
};

// Fills `rotated` with `source` turned by `angle` degrees about (x, y);
// E_UNEXPECTED for a source that cannot be rotated.
HRESULT RotateImage(const DibImage& source, LONG x, LONG y, double angle, COLORREF back, HDC dc,
                    DibImage& rotated) noexcept;
