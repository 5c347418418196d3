// A control's design size given in screen pixels, as the HIMETRIC extent
// that the container sees.
#pragma once

#include <windows.h>

#include "common/handle.h"

namespace frame {

inline SIZEL ExtentOfPixels(LONG width, LONG height) noexcept {
    constexpr LONG kHimetricPerInch = 2540;
    LONG dpiX = 96;
    LONG dpiY = 96;
    common::WindowDc screen(nullptr);
    if (screen) {
        dpiX = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
        dpiY = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    return {::MulDiv(width, kHimetricPerInch, dpiX), ::MulDiv(height, kHimetricPerInch, dpiY)};
}

} // namespace frame
