// The grid's member and event numbers, its errors and its colour translation.
#pragma once

#include <windows.h>
#include <olectl.h>

#include "syscolor.h"

namespace grid {

// Members of IListora.
enum : DISPID {
    kDispRowCount = 1,
    kDispColumnCount = 2,
    kDispColumnAlignment = 3,
    kDispColumnHeader = 4,
    kDispColumnWidth = 5,
    kDispSelection = 6,
    kDispShowHeaders = 7,
    kDispShowCheckboxes = 8,
    kDispHideSelection = 9,
    kDispItemFontName = 10,
    kDispItemFontSize = 11,
    kDispItemFontBold = 12,
    kDispItemFontItalic = 13,
    kDispItemBackColor = 14,
    kDispItemForeColor = 15,
    kDispHeaderFontName = 16,
    kDispHeaderFontSize = 17,
    kDispHeaderFontBold = 18,
    kDispHeaderFontItalic = 19,
    kDispHeaderBackColor = 20,
    kDispHeaderForeColor = 21,
    kDispSortArrowColumn = 22,
    kDispContextMenu = 27,
};

// Events of IListoraEvents.
enum : DISPID {
    kEventClick = DISPID_CLICK,
    kEventDblClick = DISPID_DBLCLICK,
    kEventKeyDown = DISPID_KEYDOWN,
    kEventKeyPress = DISPID_KEYPRESS,
    kEventKeyUp = DISPID_KEYUP,
    kEventMouseDown = DISPID_MOUSEDOWN,
    kEventMouseMove = DISPID_MOUSEMOVE,
    kEventMouseUp = DISPID_MOUSEUP,
    kEventGetItemText = 1,
    kEventGetRowState = 2,
    kEventItemClick = 3,
    kEventHeaderClick = 4,
    kEventSelectionChange = 5,
    kEventShowContextMenu = 6,
};

// Events reach the script's handlers in the system's default locale.
inline constexpr LCID kEventLocale = LOCALE_SYSTEM_DEFAULT;

// Mouse buttons as the events name them.
inline constexpr SHORT kButtonLeft = 1;
inline constexpr SHORT kButtonRight = 2;
inline constexpr SHORT kButtonMiddle = 16;

// The error numbers of the standard controls.
inline constexpr HRESULT kInvalidPropertyValue = CTL_E_INVALIDPROPERTYVALUE;
inline constexpr HRESULT kInvalidPropertyArrayIndex = CTL_E_INVALIDPROPERTYARRAYINDEX;
inline constexpr HRESULT kSetNotSupported = CTL_E_SETNOTSUPPORTED;
inline constexpr HRESULT kGetNotSupported = CTL_E_GETNOTSUPPORTED;

// An OLE colour as the drawing calls take it: a system colour by its index
// (the terminal's flagged index form), or the low 24 bits as RGB.
inline COLORREF TranslateColor(ULONG color) noexcept {
    if ((color & 0x80000000u) != 0) {
        return CeGetSysColor(static_cast<int>(color & 0xFFu) | SYS_COLOR_INDEX_FLAG);
    }
    return color & 0x00FFFFFFu;
}

} // namespace grid
