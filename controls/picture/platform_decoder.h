// Picture files other than JPEG, through the platform image decoder.
#pragma once

#include <windows.h>

#include "dib_image.h"

// Decodes `path` with imgdecmp.dll and imports the result on `dc`.
bool DecodeWithPlatform(const wchar_t* path, HDC dc, DibImage& image) noexcept;
