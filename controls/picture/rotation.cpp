// Turning a picture about a centre: the destination is the bounding box of
// the source's forward-mapped corners, and every destination pixel is
// mapped back into the source.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "picture_vorp.h"

namespace {

struct Point {
    LONG x;
    LONG y;
};

Point Forward(double c, double s, double x, double y) {
    return {static_cast<LONG>(x * c + y * s), static_cast<LONG>(y * c - x * s)};
}

// The first colour-table index of exactly `color`, else 0.
BYTE BackgroundIndex(const DibImage& image, COLORREF color) {
    for (int i = 0; i < image.colorCount(); ++i) {
        const RGBQUAD& entry = image.colors()[i];
        if (RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue) == color) {
            return static_cast<BYTE>(i);
        }
    }
    return 0;
}

} // namespace

HRESULT RotateImage(const DibImage& source, LONG x, LONG y, double angle, COLORREF back, HDC dc,
                    DibImage& rotated) noexcept {
    const BITMAPINFOHEADER& header = source.header();
    const WORD bits = header.biBitCount;
    if (source.empty() || header.biCompression != BI_RGB || (bits != 8 && bits != 24)) {
        return E_UNEXPECTED;
    }
    const double r = angle * (-std::numbers::pi / 180.0);
    const double c = std::cos(r);
    const double s = std::sin(r);
    const LONG w = header.biWidth;
    const LONG h = header.biHeight;
    const Point corners[4] = {Forward(c, s, -x, -y), Forward(c, s, w - x, -y),
                              Forward(c, s, -x, h - y), Forward(c, s, w - x - 1, h - y)};
    LONG minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
    for (const Point& p : corners) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const LONG newWidth = maxX - minX;
    const LONG newHeight = maxY - minY;
    // An 8-bit picture keeps its colours and gets a palette of them.
    const HPALETTE palette =
        bits <= 8 ? DibImage::CreatePaletteFromColors(source.colors(), source.colorCount())
                  : DibImage::CreateDefaultPalette(DibImage::kMaxColors);
    if (!rotated.Create(dc, newWidth, newHeight, bits, source.colors(), source.colorCount(),
                        palette)) {
        return E_UNEXPECTED;
    }
    ::GdiFlush();
    const BYTE backIndex = BackgroundIndex(source, back);
    const BYTE backPixel[3] = {GetBValue(back), GetGValue(back), GetRValue(back)};
    const size_t bytes = bits / 8;
    for (LONG i = 0; minY + i < maxY; ++i) {
        BYTE* out = rotated.Row(i);
        const double yd = static_cast<double>(minY + i);
        for (LONG j = 0; j < newWidth; ++j) {
            const double xd = static_cast<double>(minX + j);
            const LONG sx = static_cast<LONG>(xd * c - yd * s + 0.5) + x;
            const LONG sy = static_cast<LONG>(yd * c + xd * s + 0.5) + y;
            BYTE* pixel = out + j * bytes;
            if (sx >= 0 && sx < w && sy >= 0 && sy < h) {
                std::copy_n(source.Row(sy) + sx * bytes, bytes, pixel);
            } else if (bits == 24) {
                std::copy_n(backPixel, 3, pixel);
            } else {
                *pixel = backIndex;
            }
        }
    }
    return S_OK;
}
