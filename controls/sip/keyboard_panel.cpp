#include "keyboard_panel.h"

#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <new>
#include <string>
#include <utility>

#include "common/handle.h"
#include "frame/module.h"
#include "keyboard_config.h"
#include "keyboard_layouts.h"
#include "resource.h"

namespace keyboard {
namespace {

Panel* g_live = nullptr;

COLORREF Colour(DWORD oleColour) {
    if ((oleColour & 0x80000000) != 0) {
        return ::GetSysColor(static_cast<int>(oleColour & 0xFF));
    }
    return oleColour & 0xFFFFFF;
}

bool HoldsKey(const KeyRecord& key) {
    return key.label[0] != L'\0' && key.use != 0;
}

// Calls `visit(index, rect)` for every cell that holds a key, in key order.
// Drawing and hit-testing share this rule.
template <typename Visit> void ForEachKey(Panel& panel, const RECT& client, Visit visit) {
    panel.cols = std::max<short>(panel.cols, 1);
    panel.rows = std::max<short>(panel.rows, 1);
    const LONG width = client.right - client.left;
    const LONG height = client.bottom - client.top;
    const LONG w = width / panel.cols;
    const LONG h = height / panel.rows;
    if (w <= 0 || h <= 0) {
        return; // cells too small to hold anything
    }
    LONG x0 = client.left;
    if (panel.align == 1) {
        x0 = client.right - panel.cols * w;
    } else if (panel.align != 0) {
        x0 = client.left + (width - panel.cols * w) / 2;
    }
    const LONG y0 = client.top + (height - panel.rows * h) / 2;
    int index = 0;
    for (LONG row = 0, y = y0; row < panel.rows && y + h <= client.bottom; ++row, y += h) {
        for (LONG col = 0, x = x0; col < panel.cols && x + w <= client.right; ++col, x += w) {
            if (index >= kKeyCount) {
                return; // cells past the table hold no key
            }
            const KeyRecord& key = panel.keys[index];
            if (HoldsKey(key)) {
                RECT rect = {x, y, x + w - 1, y + h - 1};
                const DWORD size = key.use & kSizeMask;
                if (size == kSizeLong) {
                    rect.right = x + 2 * w - 1;
                } else if (size == kSizeTall) {
                    rect.bottom = y + 2 * h - 1;
                }
                if (!visit(index, rect)) {
                    return;
                }
            }
            ++index;
        }
    }
}

void Invalidate(Panel& panel, bool erase) {
    if (panel.window != nullptr) {
        ::InvalidateRect(panel.window, nullptr, erase ? TRUE : FALSE);
    }
}

void Press(Panel& panel, LPARAM lParam) {
    RECT client = {};
    ::GetClientRect(panel.window, &client);
    const int key = HitTest(panel, client, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    if (key != panel.pressed) {
        panel.pressed = static_cast<short>(key);
        Invalidate(panel, false);
    }
}

// The key under the pen when it is lifted types.
void Release(Panel& panel, LPARAM lParam) {
    ::ReleaseCapture();
    panel.tracking = false;
    RECT client = {};
    ::GetClientRect(panel.window, &client);
    const int key = HitTest(panel, client, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    if (panel.callback && key >= 0) {
        common::UniqueBstr text(panel.keys[key].text);
        panel.callback->SendString(text.get(), text.length());
    }
    panel.pressed = -1;
    Invalidate(panel, false);
}

INT_PTR CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Panel* panel = reinterpret_cast<Panel*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        return FALSE;
    }
    if (panel == nullptr) {
        return FALSE;
    }
    try {
        switch (message) {
        case WM_ERASEBKGND:
            return TRUE; // painting covers everything
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(window, &paint);
            RECT client = {};
            ::GetClientRect(window, &client);
            Paint(*panel, dc, client);
            ::EndPaint(window, &paint);
            return TRUE;
        }
        case WM_PRINTCLIENT: {
            RECT client = {};
            ::GetClientRect(window, &client);
            Paint(*panel, reinterpret_cast<HDC>(wParam), client);
            return TRUE;
        }
        case WM_LBUTTONDOWN:
        // The second press of a double tap is a press like the first, so
        // that each tap types once.
        case WM_LBUTTONDBLCLK:
            ::SetCapture(window);
            panel->tracking = true;
            Press(*panel, lParam);
            return TRUE;
        case WM_MOUSEMOVE:
            if (panel->tracking) {
                Press(*panel, lParam);
            }
            return TRUE;
        case WM_LBUTTONUP:
            Release(*panel, lParam);
            return TRUE;
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

} // namespace

Panel* LivePanel() {
    return g_live;
}

Panel* CreateLivePanel(HWND sipWindow, const void* owner) {
    DestroyLivePanel();
    auto* panel = new (std::nothrow) Panel();
    if (panel == nullptr) {
        return nullptr;
    }
    panel->owner = owner;
    panel->textColor = DefaultTextColor();
    panel->window = ::CreateDialogParamW(frame::module::Instance(), MAKEINTRESOURCEW(IDD_PANEL),
                                         sipWindow, PanelProc, reinterpret_cast<LPARAM>(panel));
    if (panel->window == nullptr) {
        delete panel;
        return nullptr;
    }
    g_live = panel;
    return panel;
}

void DestroyLivePanel() {
    Panel* panel = std::exchange(g_live, nullptr);
    if (panel == nullptr) {
        return;
    }
    if (panel->window != nullptr) {
        ::ShowWindow(panel->window, SW_HIDE);
        ::DestroyWindow(panel->window);
    }
    delete panel;
}

void SetKeyRecord(KeyRecord& key, std::wstring_view label, std::wstring_view text, DWORD use) {
    key = {};
    label = label.substr(0, std::min(label.size(), kLabelChars));
    text = text.substr(0, std::min(text.size(), kTextChars));
    std::copy(label.begin(), label.end(), key.label);
    std::copy(text.begin(), text.end(), key.text);
    key.use = use;
}

void LoadLayout(Panel& panel, DWORD style) {
    // Records past the new grid are emptied, so that no key of an earlier
    // layout shows when the grid grows.
    KeyRecord loaded[kKeyCount] = {};
    if (const Layout* layout = PredefinedLayout(style)) {
        panel.rows = layout->rows;
        panel.cols = layout->cols;
        panel.align = layout->align;
        for (size_t i = 0; i < layout->keys.size() && i < kKeyCount; ++i) {
            const KeyDefinition& key = layout->keys[i];
            SetKeyRecord(loaded[i], key.label, key.text, key.use);
        }
    } else {
        panel.rows = ReadShort(kRowsValue, kDefaultRows);
        panel.cols = ReadShort(kColsValue, kDefaultCols);
        const int count = std::min(panel.rows * panel.cols, kKeyCount);
        for (int n = 1; n <= count; ++n) {
            std::wstring label;
            std::wstring text;
            ReadString(KeyValueName(L"keydisp", n).c_str(), kTextChars, &label);
            ReadString(KeyValueName(L"keycode", n).c_str(), kTextChars, &text);
            const DWORD use = ReadDword(KeyValueName(L"keyuse", n).c_str(), kDefaultKeyUse);
            SetKeyRecord(loaded[n - 1], label, text, use);
        }
    }
    std::copy(std::begin(loaded), std::end(loaded), panel.keys);
    panel.pressed = -1;
    panel.keysChanged = false;
    Invalidate(panel, true);
}

void SaveCustomKeys(Panel& panel) {
    const int rows = ReadShort(kRowsValue, kDefaultRows);
    const int cols = ReadShort(kColsValue, kDefaultCols);
    const int count = std::min(rows * cols, kKeyCount);
    for (int n = 1; n <= count; ++n) {
        const KeyRecord& key = panel.keys[n - 1];
        WriteString(KeyValueName(L"keydisp", n).c_str(), key.label);
        WriteString(KeyValueName(L"keycode", n).c_str(), key.text);
        WriteDword(KeyValueName(L"keyuse", n).c_str(), key.use);
    }
    panel.keysChanged = false;
}

int HitTest(Panel& panel, const RECT& client, POINT point) {
    int found = -1;
    ForEachKey(panel, client, [&](int index, const RECT& rect) {
        if (::PtInRect(&rect, point)) {
            found = index;
            return false;
        }
        return true;
    });
    return found;
}

void Paint(Panel& panel, HDC dc, const RECT& client) {
    const LONG width = client.right - client.left;
    const LONG height = client.bottom - client.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    common::UniqueCreatedDc memory(::CreateCompatibleDC(dc));
    common::UniqueGdiObject bitmap(::CreateCompatibleBitmap(dc, width, height));
    if (!memory || !bitmap) {
        return;
    }
    common::SelectObjectScope bitmapScope(memory.get(), bitmap.get());
    HDC m = memory.get();
    const COLORREF back = Colour(panel.backColor);
    const COLORREF text = Colour(panel.textColor);
    const RECT area = {0, 0, width, height};
    {
        common::UniqueGdiObject brush(::CreateSolidBrush(back));
        common::SelectObjectScope brushScope(m, brush.get());
        ::Rectangle(m, area.left, area.top, area.right, area.bottom);
    }
    ::SetBkColor(m, back);
    ::SetBkMode(m, TRANSPARENT);
    HFONT font = panel.window != nullptr
                     ? reinterpret_cast<HFONT>(::SendMessageW(panel.window, WM_GETFONT, 0, 0))
                     : nullptr;
    common::SelectObjectScope fontScope(m, font != nullptr ? font
                                                           : ::GetStockObject(DEFAULT_GUI_FONT));
    common::UniqueGdiObject fill(::CreateSolidBrush(text));
    ForEachKey(panel, area, [&](int index, const RECT& cell) {
        RECT rect = cell;
        const KeyRecord& key = panel.keys[index];
        const bool disabled = (key.use & kKeyDisabled) != 0;
        const bool pressed =
            !disabled && index == panel.pressed; // a disabled key never looks pressed
        if (pressed && panel.flat) {
            ::FillRect(m, &rect, static_cast<HBRUSH>(fill.get()));
        }
        const UINT edge = disabled ? EDGE_ETCHED : pressed ? EDGE_SUNKEN : EDGE_RAISED;
        ::DrawEdge(m, &rect, edge, BF_RECT | (panel.flat ? BF_FLAT : BF_SOFT));
        ::SetTextColor(m, pressed && panel.flat ? back : text);
        rect = cell;
        ::DrawTextW(m, key.label, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        return true;
    });
    ::BitBlt(dc, client.left, client.top, width, height, m, 0, 0, SRCCOPY);
}

} // namespace keyboard
