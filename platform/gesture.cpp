// The simulated shell's tap-and-hold gesture.
#include "gesture.h"

extern "C" BOOL WINAPI TerminalTapAndHold(HWND window, LONG x, LONG y) {
    HWND parent = ::GetParent(window);
    if (window == nullptr || parent == nullptr) {
        return FALSE;
    }
    NMRGINFO info = {};
    info.hdr.hwndFrom = window;
    info.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(window));
    info.hdr.code = NM_RECOGNIZEGESTURE;
    info.ptAction = {x, y};
    if (::SendMessageW(parent, WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info)) != 0) {
        return FALSE;
    }
    info.hdr.code = GN_CONTEXTMENU;
    ::SendMessageW(parent, WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    return TRUE;
}
