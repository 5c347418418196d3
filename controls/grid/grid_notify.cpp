// The list view's notifications: cell texts and check states from the
// script, selection changes, colours and taps on cells.
#include <cwchar>

#include "frame/event_args.h"
#include "grid_constants.h"
#include "listora.h"

using namespace grid;
namespace args = frame::event_args;

namespace {

constexpr UINT kSelectedAndFocused = LVIS_SELECTED | LVIS_FOCUSED;
constexpr UINT kUnchecked = 1;
constexpr UINT kChecked = 2;

} // namespace

LRESULT Listora::OnGetDispInfo(NMLVDISPINFOW& info) {
    LVITEMW& item = info.item;
    if ((item.mask & LVIF_TEXT) != 0) {
        common::UniqueVariant text; // empty until a handler answers
        FireEvent(kEventGetItemText,
                  {args::I4(item.iItem + 1), args::I4(item.iSubItem + 1), args::ByRef(*text.get())},
                  kEventLocale);
        common::UniqueVariant converted;
        if (SUCCEEDED(::VariantChangeType(converted.get(), text.get(), 0, VT_BSTR)) &&
            converted->bstrVal != nullptr && item.pszText != nullptr && item.cchTextMax > 0) {
            const size_t length = ::SysStringLen(converted->bstrVal);
            const size_t room = static_cast<size_t>(item.cchTextMax) - 1;
            const size_t copied = length < room ? length : room;
            std::wmemcpy(item.pszText, converted->bstrVal, copied);
            item.pszText[copied] = L'\0';
        }
    }
    if (showCheckboxes_ && (item.mask & LVIF_IMAGE) != 0) {
        common::UniqueVariant checked;
        checked->vt = VT_BOOL;
        checked->boolVal = VARIANT_FALSE;
        FireEvent(kEventGetRowState, {args::I4(item.iItem + 1), args::ByRef(*checked.get())},
                  kEventLocale);
        common::UniqueVariant converted;
        const bool isChecked =
            SUCCEEDED(::VariantChangeType(converted.get(), checked.get(), 0, VT_BOOL)) &&
            converted->boolVal == VARIANT_TRUE;
        item.mask |= LVIF_STATE;
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(isChecked ? kChecked : kUnchecked);
    }
    return 0;
}

LRESULT Listora::OnItemChanged(const NMLISTVIEW& change) {
    if ((change.uChanged & LVIF_STATE) == 0) {
        return 0;
    }
    if ((change.uNewState == kSelectedAndFocused && change.uOldState == 0) ||
        (change.uOldState == kSelectedAndFocused && change.uNewState == 0)) {
        FireEvent(kEventSelectionChange, {}, kEventLocale);
    }
    return 0;
}

LRESULT Listora::OnCustomDraw(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        draw.clrText = TranslateColor(itemForeColor_);
        draw.clrTextBk = TranslateColor(itemBackColor_);
        return CDRF_NEWFONT;
    default:
        return CDRF_DODEFAULT;
    }
}

LRESULT Listora::OnClick(const NMITEMACTIVATE& click) {
    if (click.iItem < 0 || click.iSubItem < 0) {
        return 0;
    }
    LONG column = click.iSubItem + 1;
    if (showCheckboxes_ && click.iSubItem == 0) {
        LVHITTESTINFO hit = {};
        hit.pt = click.ptAction;
        SendList(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.iItem == click.iItem && hit.iSubItem == 0 &&
            (hit.flags & LVHT_ONITEMSTATEICON) != 0) {
            column = 0; // the row's check box
        }
    }
    FireEvent(kEventItemClick, {args::I4(click.iItem + 1), args::I4(column)}, kEventLocale);
    return 0;
}
