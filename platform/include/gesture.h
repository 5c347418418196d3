// Tap-and-hold on the terminal's touch screen. Before the shell shows its
// gesture feedback it asks the window's parent with NM_RECOGNIZEGESTURE
// (a non-zero answer suppresses the gesture); once the hold is recognised
// the parent gets GN_CONTEXTMENU. Both carry an NMRGINFO.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ceplatform.h"

constexpr UINT NM_RECOGNIZEGESTURE = NM_FIRST - 16;
constexpr UINT GN_CONTEXTMENU = 1000;

struct NMRGINFO {
    NMHDR hdr;
    POINT ptAction; // where the stylus is held, in the window's client coordinates
    DWORD dwItemSpec;
};

// The simulated shell's tap-and-hold at (x, y) on `window`: asks the parent,
// then reports the gesture unless the parent suppressed it. TRUE when the
// context-menu gesture was reported.
CEPLATFORM_API BOOL WINAPI TerminalTapAndHold(HWND window, LONG x, LONG y);
