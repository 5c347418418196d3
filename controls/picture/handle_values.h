// Handles as the 32-bit values that scripts pass around. Window-system and
// graphics handles are 32-bit values at every width (sign-extended).
#pragma once

#include <windows.h>

template <typename Handle> LONG HandleToValue(Handle handle) noexcept {
    return static_cast<LONG>(reinterpret_cast<LONG_PTR>(handle));
}

template <typename Handle> Handle ValueToHandle(LONG value) noexcept {
    return reinterpret_cast<Handle>(static_cast<LONG_PTR>(value));
}
