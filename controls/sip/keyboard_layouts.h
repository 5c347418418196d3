// The four predefined keyboard layouts.
#pragma once

#include <windows.h>

#include <span>

namespace keyboard {

struct KeyDefinition {
    const wchar_t* label;
    const wchar_t* text;
    DWORD use;
};

struct Layout {
    short rows;
    short cols;
    DWORD align;
    std::span<const KeyDefinition> keys; // rows × cols, row by row
};

// The layout of a predefined style (0 to 3); null for any other style.
const Layout* PredefinedLayout(DWORD style);

} // namespace keyboard
