// The picture's image: creating its section and importing other bitmaps.
#include "dib_image.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <new>

namespace {

// A DIB section larger than this is not an image the terminal can hold.
constexpr uint64_t kLargestImage = 512u << 20;

std::array<RGBQUAD, DibImage::kMaxColors> MakeHalftone() {
    std::array<RGBQUAD, DibImage::kMaxColors> table{};
    auto set = [&table](int i, BYTE r, BYTE g, BYTE b) { table[i] = RGBQUAD{b, g, r, 0}; };
    // The twenty static colours: ten at the start, ten at the end.
    static const BYTE first[10][3] = {
        {0, 0, 0},     {128, 0, 0},   {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
        {128, 0, 128}, {0, 128, 128}, {192, 192, 192}, {192, 220, 192}, {166, 202, 240}};
    static const BYTE last[10][3] = {
        {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},   {0, 255, 0},
        {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255}, {255, 255, 255}};
    for (int i = 0; i < 10; ++i) {
        set(i, first[i][0], first[i][1], first[i][2]);
        set(246 + i, last[i][0], last[i][1], last[i][2]);
    }
    static const BYTE levels[6] = {0, 44, 86, 135, 192, 255};
    int index = 10;
    for (BYTE r : levels) {
        for (BYTE g : levels) {
            for (BYTE b : levels) {
                set(index++, r, g, b);
            }
        }
    }
    // Grey steps between the cube's levels.
    for (int i = 0; index < 246; ++i) {
        const BYTE grey = static_cast<BYTE>(12 + i * 12);
        set(index++, grey, grey, grey);
    }
    return table;
}

HPALETTE CreatePaletteFrom(const RGBQUAD* colors, int count) noexcept {
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[DibImage::kMaxColors];
    } log{};
    log.version = 0x300;
    log.count = static_cast<WORD>(std::clamp(count, 1, DibImage::kMaxColors));
    for (int i = 0; i < log.count; ++i) {
        log.entries[i] = PALETTEENTRY{colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue, 0};
    }
    return ::CreatePalette(reinterpret_cast<LOGPALETTE*>(&log));
}

// Selects and realizes a palette for the life of the scope, when there is one.
class PaletteScope {
public:
    PaletteScope(HDC dc, HPALETTE palette) noexcept : dc_(dc) {
        if (palette != nullptr) {
            previous_ = ::SelectPalette(dc, palette, FALSE);
            ::RealizePalette(dc);
        }
    }
    PaletteScope(const PaletteScope&) = delete;
    PaletteScope& operator=(const PaletteScope&) = delete;
    ~PaletteScope() {
        if (previous_ != nullptr) {
            ::SelectPalette(dc_, previous_, FALSE);
        }
    }

private:
    HDC dc_;
    HPALETTE previous_ = nullptr;
};

} // namespace

uint32_t DibImage::Stride(LONG width, WORD bitCount) noexcept {
    if (width <= 0 || bitCount == 0) {
        return 0;
    }
    const uint64_t stride = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
    return stride > std::numeric_limits<uint32_t>::max() ? 0 : static_cast<uint32_t>(stride);
}

const std::array<RGBQUAD, DibImage::kMaxColors>& DibImage::HalftoneColors() noexcept {
    static const std::array<RGBQUAD, kMaxColors> table = MakeHalftone();
    return table;
}

HPALETTE DibImage::CreatePaletteFromColors(const RGBQUAD* colors, int count) noexcept {
    return CreatePaletteFrom(colors, count);
}

HPALETTE DibImage::CreateDefaultPalette(int colors) noexcept {
    const int count = colors <= 2 ? 2 : colors <= 16 ? 16 : kMaxColors;
    return CreatePaletteFrom(HalftoneColors().data(), count);
}

void DibImage::Clear() noexcept {
    bitmap_.reset();
    palette_.reset();
    header_ = {};
    colors_ = {};
    colorCount_ = 0;
    bits_ = nullptr;
}

void DibImage::Detach(HBITMAP& bitmap, HPALETTE& palette) noexcept {
    bitmap = static_cast<HBITMAP>(bitmap_.release());
    palette = static_cast<HPALETTE>(palette_.release());
    Clear();
}

bool DibImage::Create(HDC dc, LONG width, LONG height, WORD bitCount, const RGBQUAD* colors,
                      int colorCount, HPALETTE palette) noexcept {
    Clear();
    palette_.reset(palette);
    // Width × height × bytes per pixel must fit what a section can hold;
    // a size that wraps would give a section smaller than its rows.
    const uint32_t stride = Stride(width, bitCount);
    if (stride == 0 || height <= 0 || static_cast<uint64_t>(stride) * height > kLargestImage) {
        palette_.reset();
        return false;
    }
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[kMaxColors];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = bitCount;
    info.header.biCompression = BI_RGB;
    info.header.biSizeImage = stride * static_cast<uint32_t>(height);
    int count = 0;
    if (bitCount <= 8) {
        count = 1 << bitCount;
        if (colors != nullptr) {
            std::copy_n(colors, std::min(count, colorCount), info.colors);
        }
    }
    void* bits = nullptr;
    common::UniqueGdiObject section;
    {
        PaletteScope selected(dc, this->palette());
        section.reset(::CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                         &bits, nullptr, 0));
    }
    if (!section.valid() || bits == nullptr) {
        palette_.reset();
        return false;
    }
    bitmap_ = std::move(section);
    header_ = info.header;
    colorCount_ = count;
    std::copy_n(info.colors, count, colors_.data());
    bits_ = static_cast<BYTE*>(bits);
    return true;
}

bool DibImage::Import(HDC dc, HBITMAP source, HPALETTE sourcePalette) noexcept {
    Clear();
    DIBSECTION described{};
    const int got = ::GetObjectW(source, sizeof(described), &described);
    if (got < static_cast<int>(sizeof(BITMAP))) {
        return false;
    }
    const BITMAP& bm = described.dsBm;
    WORD bitCount = bm.bmBitsPixel == 16 ? 24 : bm.bmBitsPixel;
    const LONG width = bm.bmWidth;
    const LONG height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;

    std::array<RGBQUAD, kMaxColors> colors{};
    int colorCount = 0;
    if (bitCount <= 8) {
        colorCount = 1 << bitCount;
        int read = 0;
        if (got == static_cast<int>(sizeof(DIBSECTION)) && bm.bmBits != nullptr) {
            common::UniqueCreatedDc memory(::CreateCompatibleDC(dc));
            if (memory) {
                common::SelectObjectScope holding(memory.get(), source);
                int wanted = described.dsBmih.biClrUsed != 0
                                 ? static_cast<int>(described.dsBmih.biClrUsed)
                                 : colorCount;
                wanted = std::min(wanted, kMaxColors);
                read = static_cast<int>(
                    ::GetDIBColorTable(memory.get(), 0, static_cast<UINT>(wanted), colors.data()));
            }
        }
        if (read == 0) {
            std::copy_n(HalftoneColors().data(), colorCount, colors.data());
        }
    }

    HPALETTE palette = nullptr;
    if (sourcePalette != nullptr) {
        PALETTEENTRY entries[kMaxColors]{};
        const UINT count = ::GetPaletteEntries(sourcePalette, 0, kMaxColors, entries);
        if (count > 0) {
            std::array<RGBQUAD, kMaxColors> fromPalette{};
            for (UINT i = 0; i < count; ++i) {
                fromPalette[i] =
                    RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
            }
            palette = CreatePaletteFrom(fromPalette.data(), static_cast<int>(count));
            if (bitCount <= 8) {
                std::copy_n(fromPalette.data(), std::min<int>(colorCount, kMaxColors),
                            colors.data());
            }
        }
    }

    if (!Create(dc, width, height, bitCount, colors.data(), colorCount, palette)) {
        return false;
    }
    if (sourcePalette != nullptr) {
        // The palette follows the section's own colours.
        palette_.reset(bitCount <= 8 ? CreatePaletteFrom(colors_.data(), colorCount_)
                                     : CreateDefaultPalette(kMaxColors));
    }

    common::UniqueCreatedDc from(::CreateCompatibleDC(dc));
    common::UniqueCreatedDc to(::CreateCompatibleDC(dc));
    if (!from || !to) {
        Clear();
        return false;
    }
    BOOL copied = FALSE;
    {
        PaletteScope fromPalette(from.get(), this->palette());
        PaletteScope toPalette(to.get(), this->palette());
        common::SelectObjectScope fromBitmap(from.get(), source);
        common::SelectObjectScope toBitmap(to.get(), bitmap());
        copied = ::BitBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, SRCCOPY);
    }
    ::GdiFlush();
    if (!copied) {
        Clear();
        return false;
    }
    return true;
}
