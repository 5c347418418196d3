// JPEG files through the JPEG library, rows in the DIB's blue, green, red order.
#pragma once

#include <windows.h>

#include "dib_image.h"

// Decodes `path` into `image`, a new section on `dc`; false (image empty) on failure.
bool DecodeJpegFile(const wchar_t* path, HDC dc, DibImage& image) noexcept;

// Writes a 24-bit `image` as a baseline JPEG of the given quality.
bool EncodeJpegFile(const wchar_t* path, const DibImage& image, int quality) noexcept;
