// What the list view and its header see before their own processing: keys
// and mouse in twips for the script, background erasing in the grid's colours.
#include <windowsx.h>

#include "frame/event_args.h"
#include "grid_constants.h"
#include "listora.h"

using namespace grid;
namespace args = frame::event_args;

namespace {

SHORT ShiftState(bool shift, bool control) {
    SHORT state = 0;
    if (shift) {
        state |= 1;
    }
    if (control) {
        state |= 2;
    }
    if (::GetKeyState(VK_MENU) < 0) {
        state |= 4;
    }
    return state;
}

// Fills a window's client rectangle with one colour, leaving the device
// context's background colour as it was.
void FillClient(HWND window, HDC dc, COLORREF color) {
    RECT client = {};
    ::GetClientRect(window, &client);
    const COLORREF previous = ::SetBkColor(dc, color);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
    ::SetBkColor(dc, previous);
}

} // namespace

std::span<const frame::Message<Listora>> Listora::ListMessages() {
    static const frame::Message<Listora> table[] = {
        {WM_ERASEBKGND, &Listora::OnListEraseBackground},
        {WM_DRAWITEM, &Listora::OnListDrawItem},
        {WM_KEYDOWN, &Listora::OnListKeyDown},
        {WM_KEYUP, &Listora::OnListKeyUp},
        {WM_CHAR, &Listora::OnListChar},
        {WM_LBUTTONDOWN, &Listora::OnListLeftDown},
        {WM_RBUTTONDOWN, &Listora::OnListRightDown},
        {WM_MBUTTONDOWN, &Listora::OnListMiddleDown},
        {WM_LBUTTONUP, &Listora::OnListLeftUp},
        {WM_RBUTTONUP, &Listora::OnListRightUp},
        {WM_MBUTTONUP, &Listora::OnListMiddleUp},
        {WM_MOUSEMOVE, &Listora::OnListMouseMove},
        {WM_LBUTTONDBLCLK, &Listora::OnListDoubleClick},
        {WM_RBUTTONDBLCLK, &Listora::OnListDoubleClick},
        {WM_MBUTTONDBLCLK, &Listora::OnListDoubleClick},
    };
    return table;
}

std::span<const frame::Message<Listora>> Listora::HeaderMessages() {
    static const frame::Message<Listora> table[] = {
        {WM_ERASEBKGND, &Listora::OnHeaderEraseBackground},
    };
    return table;
}

LRESULT Listora::OnListEraseBackground(WPARAM wParam, LPARAM, bool&) {
    FillClient(list_.get(), reinterpret_cast<HDC>(wParam), TranslateColor(itemBackColor_));
    return 1;
}

LRESULT Listora::OnHeaderEraseBackground(WPARAM wParam, LPARAM, bool&) {
    FillClient(header_.get(), reinterpret_cast<HDC>(wParam), TranslateColor(headerBackColor_));
    return 1;
}

void Listora::FireKey(DISPID id, WPARAM wParam) {
    if (designMode_) {
        return;
    }
    const SHORT shift = ShiftState(::GetKeyState(VK_SHIFT) < 0, ::GetKeyState(VK_CONTROL) < 0);
    FireEvent(id, {args::I2(static_cast<SHORT>(wParam)), args::I2(shift)}, kEventLocale);
}

LRESULT Listora::OnListKeyDown(WPARAM wParam, LPARAM, bool& handled) {
    FireKey(kEventKeyDown, wParam);
    handled = false;
    return 0;
}

LRESULT Listora::OnListKeyUp(WPARAM wParam, LPARAM, bool& handled) {
    FireKey(kEventKeyUp, wParam);
    handled = false;
    return 0;
}

LRESULT Listora::OnListChar(WPARAM wParam, LPARAM lParam, bool&) {
    SHORT character = static_cast<SHORT>(wParam);
    if (!designMode_) {
        common::UniqueVariant keyAscii;
        keyAscii->vt = VT_I2;
        keyAscii->iVal = character;
        FireEvent(kEventKeyPress, {args::ByRef(*keyAscii.get())}, kEventLocale);
        common::UniqueVariant converted;
        if (SUCCEEDED(::VariantChangeType(converted.get(), keyAscii.get(), 0, VT_I2))) {
            character = converted->iVal;
        }
    }
    // The character never reaches the list view's own character processing.
    if (character == 0) {
        return 0;
    }
    return ::DefWindowProcW(Window(), WM_CHAR, static_cast<WPARAM>(static_cast<USHORT>(character)),
                            lParam);
}

void Listora::FireMouse(DISPID id, SHORT button, WPARAM wParam, LPARAM lParam) {
    if (designMode_) {
        return;
    }
    const SHORT shift = ShiftState((wParam & MK_SHIFT) != 0, (wParam & MK_CONTROL) != 0);
    FireEvent(id,
              {args::I2(button), args::I2(shift), args::I4(GET_X_LPARAM(lParam) * twipsPerPixelX_),
               args::I4(GET_Y_LPARAM(lParam) * twipsPerPixelY_)},
              kEventLocale);
}

void Listora::ButtonDown(SHORT button, WPARAM wParam, LPARAM lParam) {
    FireMouse(kEventMouseDown, button, wParam, lParam);
    pressedButton_ = button;
}

void Listora::ButtonUp(SHORT button, WPARAM wParam, LPARAM lParam) {
    FireMouse(kEventMouseUp, button, wParam, lParam);
    if (!designMode_) {
        FireEvent(kEventClick, {}, kEventLocale);
    }
    pressedButton_ = 0;
}

LRESULT Listora::OnListLeftDown(WPARAM wParam, LPARAM lParam, bool& handled) {
    ButtonDown(kButtonLeft, wParam, lParam);
    handled = false;
    return 0;
}

LRESULT Listora::OnListRightDown(WPARAM wParam, LPARAM lParam, bool& handled) {
    ButtonDown(kButtonRight, wParam, lParam);
    handled = false;
    return 0;
}

LRESULT Listora::OnListMiddleDown(WPARAM wParam, LPARAM lParam, bool& handled) {
    ButtonDown(kButtonMiddle, wParam, lParam);
    handled = false;
    return 0;
}

LRESULT Listora::OnListLeftUp(WPARAM wParam, LPARAM lParam, bool& handled) {
    ButtonUp(kButtonLeft, wParam, lParam);
    handled = false;
    return 0;
}

LRESULT Listora::OnListRightUp(WPARAM wParam, LPARAM lParam, bool& handled) {
    ButtonUp(kButtonRight, wParam, lParam);
    handled = false;
    return 0;
}

LRESULT Listora::OnListMiddleUp(WPARAM wParam, LPARAM lParam, bool& handled) {
    ButtonUp(kButtonMiddle, wParam, lParam);
    handled = false;
    return 0;
}

LRESULT Listora::OnListMouseMove(WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = false;
    // A button released where the list view did not see it (outside, or
    // while another window held the mouse) ends its press here.
    if ((pressedButton_ == kButtonLeft && (wParam & MK_LBUTTON) == 0) ||
        (pressedButton_ == kButtonRight && (wParam & MK_RBUTTON) == 0) ||
        (pressedButton_ == kButtonMiddle && (wParam & MK_MBUTTON) == 0)) {
        ButtonUp(pressedButton_, wParam, lParam);
        return 0;
    }
    SHORT buttons = 0;
    if ((wParam & MK_LBUTTON) != 0) {
        buttons |= 1;
    }
    if ((wParam & MK_RBUTTON) != 0) {
        buttons |= 2;
    }
    if ((wParam & MK_MBUTTON) != 0) {
        buttons |= 4;
    }
    FireMouse(kEventMouseMove, buttons, wParam, lParam);
    return 0;
}

LRESULT Listora::OnListDoubleClick(WPARAM, LPARAM, bool& handled) {
    if (!designMode_) {
        FireEvent(kEventDblClick, {}, kEventLocale);
    }
    handled = false;
    return 0;
}
