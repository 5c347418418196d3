// DibImage: the picture's image, always a bottom-up, uncompressed DIB
// section that it owns, with its colour table and, when one came with the
// image, a logical palette.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "common/handle.h"

class DibImage {
public:
    static constexpr int kMaxColors = 256;

    // Bytes in one row of `width` pixels of `bitCount` bits, padded to 4;
    // 0 when the row or the whole image cannot be held.
    static uint32_t Stride(LONG width, WORD bitCount) noexcept;

    // The built-in colour table: the standard halftone palette.
    static const std::array<RGBQUAD, kMaxColors>& HalftoneColors() noexcept;
    // A palette of the first 2, 16 or 256 halftone colours for `colors` colours.
    static HPALETTE CreateDefaultPalette(int colors) noexcept;
    static HPALETTE CreatePaletteFromColors(const RGBQUAD* colors, int count) noexcept;

    bool empty() const noexcept { return !bitmap_; }
    HBITMAP bitmap() const noexcept { return static_cast<HBITMAP>(bitmap_.get()); }
    HPALETTE palette() const noexcept { return static_cast<HPALETTE>(palette_.get()); }
    const BITMAPINFOHEADER& header() const noexcept { return header_; }
    const RGBQUAD* colors() const noexcept { return colors_.data(); }
    int colorCount() const noexcept { return colorCount_; }
    BYTE* bits() const noexcept { return bits_; }
    uint32_t stride() const noexcept { return Stride(header_.biWidth, header_.biBitCount); }
    // Row `row` in stored order (0 is the bottom row of the picture).
    BYTE* Row(LONG row) const noexcept { return bits_ + static_cast<size_t>(row) * stride(); }

    // Deletes the bitmap and palette and zeroes the description.
    void Clear() noexcept;
    // Gives the bitmap and palette to the caller and empties the image.
    void Detach(HBITMAP& bitmap, HPALETTE& palette) noexcept;

    // A new section of the given size on `dc`, pixels zero. `colors` (up to
    // 256, for 8 bits per pixel or fewer) fills the colour table; `palette`,
    // when given, is adopted and realized on `dc` while creating. Fails, with
    // the image empty, when the size cannot be held.
    bool Create(HDC dc, LONG width, LONG height, WORD bitCount, const RGBQUAD* colors,
                int colorCount, HPALETTE palette) noexcept;

    // Replaces the image with a copy of `source` (and of `sourcePalette`).
    bool Import(HDC dc, HBITMAP source, HPALETTE sourcePalette) noexcept;

private:
    common::UniqueGdiObject bitmap_;
    common::UniqueGdiObject palette_;
    BITMAPINFOHEADER header_{};
    std::array<RGBQUAD, kMaxColors> colors_{};
    int colorCount_ = 0;
    BYTE* bits_ = nullptr;
};
