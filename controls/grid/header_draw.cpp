// The owner-drawn header: the grid's header colours, the sort arrow, and
// text shortened with "..." when it does not fit its column.
#include <cstdlib>
#include <string>

#include "grid_constants.h"
#include "listora.h"

using namespace grid;

namespace {

constexpr int kHeaderTextChars = 256;
const wchar_t kEllipsis[] = L"...";

int TextWidth(HDC dc, const wchar_t* text, int length) {
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, text, length, &size);
    return size.cx;
}

// The arrow: horizontal one-pixel strips, each one pixel shorter at both
// ends than the one before; the first strip is the widest.
void DrawArrow(HDC dc, int left, int right, int firstRow, int step, COLORREF color) {
    common::UniqueGdiObject brush(::CreateSolidBrush(color));
    for (int y = firstRow; left < right; ++left, --right, y += step) {
        const RECT strip = {left, y, right, y + 1};
        ::FillRect(dc, &strip, static_cast<HBRUSH>(brush.get()));
    }
}

UINT TextFormat(int headerFormat) {
    switch (headerFormat & HDF_JUSTIFYMASK) {
    case HDF_RIGHT:
        return DT_SINGLELINE | DT_NOPREFIX | DT_RIGHT;
    case HDF_CENTER:
        return DT_SINGLELINE | DT_NOPREFIX | DT_CENTER;
    default:
        return DT_SINGLELINE | DT_NOPREFIX | DT_LEFT;
    }
}

} // namespace

LRESULT Listora::OnListDrawItem(WPARAM, LPARAM lParam, bool& handled) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item == nullptr || item->CtlType != ODT_HEADER) {
        handled = false;
        return 0;
    }
    DrawHeaderItem(*item);
    return TRUE;
}

void Listora::DrawHeaderItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT area = item.rcItem;
    const int height = item.rcItem.bottom - item.rcItem.top;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const COLORREF back = TranslateColor(headerBackColor_);
    const COLORREF fore = TranslateColor(headerForeColor_);

    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetBkColor(dc, back);
    ::SetTextColor(dc, fore);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);

    area.right -= 3;
    if (std::labs(static_cast<long>(sortArrowColumn_)) == static_cast<long>(item.itemID) + 1) {
        int width = (height - 4) / 2;
        if (width % 2 == 0) {
            ++width; // always odd: the arrow has a middle pixel
        }
        const int arrowHeight = width / 2 + 1;
        const int x0 = area.right - (pressed ? 0 : 1) - width;
        const int yBase = item.rcItem.top + (pressed ? 1 : 0) + (height - arrowHeight) / 2;
        if (sortArrowColumn_ > 0) {
            DrawArrow(dc, x0, x0 + width, yBase, 1, fore); // pointing down
        } else {
            DrawArrow(dc, x0, x0 + width, yBase + arrowHeight - 1, -1, fore); // pointing up
        }
        area.right = x0;
    }

    wchar_t text[kHeaderTextChars] = {};
    HDITEMW header = {};
    header.mask = HDI_TEXT | HDI_FORMAT;
    header.pszText = text;
    header.cchTextMax = kHeaderTextChars;
    ::SendMessageW(item.hwndItem, HDM_GETITEMW, item.itemID, reinterpret_cast<LPARAM>(&header));
    text[kHeaderTextChars - 1] = L'\0';
    if (text[0] != L'\0') {
        area.left += pressed ? 4 : 3;
        area.top += pressed ? 2 : 1;
        std::wstring shown(text);
        const int room = area.right - area.left;
        if (room > 0 && TextWidth(dc, shown.c_str(), static_cast<int>(shown.size())) > room) {
            // As many leading characters as fit beside "...", at least one.
            const int available = room - TextWidth(dc, kEllipsis, 3);
            int fit = 1;
            while (fit < static_cast<int>(shown.size()) &&
                   TextWidth(dc, shown.c_str(), fit + 1) <= available) {
                ++fit;
            }
            shown.resize(static_cast<size_t>(fit));
            shown += kEllipsis;
        }
        ::DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &area,
                    TextFormat(header.fmt));
    }
    ::RestoreDC(dc, saved);
}
