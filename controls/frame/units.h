// Conversions between screen pixels and the HIMETRIC units of extents.
#pragma once

#include <windows.h>

#include "common/handle.h"

namespace frame {

inline constexpr LONG kHimetricPerInch = 2540;

inline SIZE ScreenDpi() {
    common::WindowDc screen(nullptr);
    if (!screen) {
        return {96, 96};
    }
    return {::GetDeviceCaps(screen.get(), LOGPIXELSX), ::GetDeviceCaps(screen.get(), LOGPIXELSY)};
}

inline SIZEL PixelsToHimetric(LONG width, LONG height) {
    const SIZE dpi = ScreenDpi();
    return {::MulDiv(width, kHimetricPerInch, dpi.cx), ::MulDiv(height, kHimetricPerInch, dpi.cy)};
}

inline SIZE HimetricToPixels(const SIZEL& size) {
    const SIZE dpi = ScreenDpi();
    return {::MulDiv(size.cx, dpi.cx, kHimetricPerInch),
            ::MulDiv(size.cy, dpi.cy, kHimetricPerInch)};
}

} // namespace frame
