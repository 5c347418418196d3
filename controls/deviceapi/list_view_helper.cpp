#include "list_view_helper.h"
#include "script_handles.h"

#include <commctrl.h>

#include "frame/status.h"

namespace {

constexpr DWORD kNoColumnHeader = LVS_NOCOLUMNHEADER; // 0x4000
constexpr UINT kStateImageMask = LVIS_STATEIMAGEMASK; // 0xF000
constexpr UINT kChecked = INDEXTOSTATEIMAGEMASK(2);   // 0x2000
constexpr UINT kUnchecked = INDEXTOSTATEIMAGEMASK(1); // 0x1000

// Find flags: the whole text, or text that begins with it.
constexpr UINT kFindWhole = LVFI_STRING;    // 2
constexpr UINT kFindPartial = LVFI_PARTIAL; // 8

VARIANT_BOOL Bool(bool value) {
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

HRESULT NotAWindow() {
    return frame::SystemStatus(ERROR_INVALID_WINDOW_HANDLE);
}

} // namespace

const frame::ObjectClass& ListViewHelper::Class() {
    static const frame::ObjectClass cls = {&CLSID_ListViewHelper, &IID_IListViewHelper, nullptr};
    return cls;
}

HRESULT ListViewHelper::get_CurrenthWnd(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = LongOf(window_);
    return S_OK;
}

HRESULT ListViewHelper::put_CurrenthWnd(LONG newVal) {
    window_ = WindowOf(newVal);
    return S_OK;
}

HRESULT ListViewHelper::CountOf(UINT message, LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    if (!::IsWindow(window_)) {
        return NotAWindow();
    }
    *pVal = static_cast<LONG>(::SendMessageW(window_, message, 0, 0));
    return S_OK;
}

HRESULT ListViewHelper::get_ItemCount(LONG* pVal) {
    return CountOf(LVM_GETITEMCOUNT, pVal);
}

HRESULT ListViewHelper::get_SelectedCount(LONG* pVal) {
    return CountOf(LVM_GETSELECTEDCOUNT, pVal);
}

HRESULT ListViewHelper::get_CountPerPage(LONG* pVal) {
    return CountOf(LVM_GETCOUNTPERPAGE, pVal);
}

HRESULT ListViewHelper::get_TopIndex(LONG* pVal) {
    return CountOf(LVM_GETTOPINDEX, pVal);
}

HRESULT ListViewHelper::get_SelectedItem(LONG* pVal) {
    return CountOf(LVM_GETSELECTIONMARK, pVal);
}

HRESULT ListViewHelper::get_ColumnHeaders(VARIANT_BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    if (!::IsWindow(window_)) {
        return NotAWindow();
    }
    *pVal = Bool((::GetWindowLongW(window_, GWL_STYLE) & kNoColumnHeader) == 0);
    return S_OK;
}

HRESULT ListViewHelper::put_ColumnHeaders(VARIANT_BOOL newVal) {
    if (!::IsWindow(window_)) {
        return NotAWindow();
    }
    const LONG style = ::GetWindowLongW(window_, GWL_STYLE);
    const LONG wanted = newVal != VARIANT_FALSE ? (style & ~static_cast<LONG>(kNoColumnHeader))
                                                : (style | static_cast<LONG>(kNoColumnHeader));
    if (wanted != style) {
        ::SetWindowLongW(window_, GWL_STYLE, wanted);
    }
    return S_OK;
}

// The list view's find starts after its start index; the script names the
// first item to look at, so the search starts one before it.
HRESULT ListViewHelper::FindText(BSTR TextToFind, LONG StartAt, VARIANT_BOOL ExactMatch,
                                 LONG* index) {
    if (index == nullptr) {
        return E_POINTER;
    }
    if (!::IsWindow(window_)) {
        return NotAWindow();
    }
    LVFINDINFOW find = {};
    find.flags = ExactMatch != VARIANT_FALSE ? kFindWhole : kFindPartial;
    find.psz = TextToFind != nullptr ? TextToFind : L"";
    const WPARAM start = static_cast<WPARAM>(static_cast<INT_PTR>(StartAt > 0 ? StartAt - 1 : -1));
    *index = static_cast<LONG>(
        ::SendMessageW(window_, LVM_FINDITEMW, start, reinterpret_cast<LPARAM>(&find)));
    return S_OK;
}

HRESULT ListViewHelper::get_Checked(LONG ItemIndex, VARIANT_BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    if (!::IsWindow(window_)) {
        return NotAWindow();
    }
    const LRESULT state =
        ::SendMessageW(window_, LVM_GETITEMSTATE, static_cast<WPARAM>(ItemIndex), kStateImageMask);
    *pVal = Bool((state & kChecked) != 0);
    return S_OK;
}

HRESULT ListViewHelper::put_Checked(LONG ItemIndex, VARIANT_BOOL newVal) {
    if (!::IsWindow(window_)) {
        return NotAWindow();
    }
    LVITEMW item = {};
    item.stateMask = kStateImageMask;
    item.state = newVal != VARIANT_FALSE ? kChecked : kUnchecked;
    ::SendMessageW(window_, LVM_SETITEMSTATE, static_cast<WPARAM>(ItemIndex),
                   reinterpret_cast<LPARAM>(&item));
    return S_OK;
}

HRESULT ListViewHelper::SelectItem(LONG ItemIndex) {
    if (!::IsWindow(window_)) {
        return NotAWindow();
    }
    LVITEMW item = {};
    item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    item.state = LVIS_FOCUSED | LVIS_SELECTED;
    ::SendMessageW(window_, LVM_SETITEMSTATE, static_cast<WPARAM>(ItemIndex),
                   reinterpret_cast<LPARAM>(&item));
    ::SendMessageW(window_, LVM_SETSELECTIONMARK, 0, ItemIndex);
    return S_OK;
}

HRESULT ListViewHelper::AutoSizeColumn(LONG ColumnIndex, VARIANT_BOOL UseHeader) {
    if (!::IsWindow(window_)) {
        return NotAWindow();
    }
    const int width = UseHeader != VARIANT_FALSE ? LVSCW_AUTOSIZE_USEHEADER : LVSCW_AUTOSIZE;
    ::SendMessageW(window_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(ColumnIndex),
                   MAKELPARAM(width, 0));
    return S_OK;
}

HRESULT ListViewHelper::DeleteItem(LONG ItemIndex) {
    if (!::IsWindow(window_)) {
        return NotAWindow();
    }
    ::SendMessageW(window_, LVM_DELETEITEM, static_cast<WPARAM>(ItemIndex), 0);
    return S_OK;
}

HRESULT ListViewHelper::DeleteColumn(LONG ColumnIndex) {
    if (!::IsWindow(window_)) {
        return NotAWindow();
    }
    ::SendMessageW(window_, LVM_DELETECOLUMN, static_cast<WPARAM>(ColumnIndex), 0);
    return S_OK;
}

HRESULT ListViewHelper::ClearItems() {
    if (!::IsWindow(window_)) {
        return NotAWindow();
    }
    ::SendMessageW(window_, LVM_DELETEALLITEMS, 0, 0);
    return S_OK;
}

HRESULT ListViewHelper::GetExtendedStyle(DWORD bit, VARIANT_BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    if (!::IsWindow(window_)) {
        return NotAWindow();
    }
    const LRESULT styles = ::SendMessageW(window_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    *pVal = Bool((static_cast<DWORD>(styles) & bit) != 0);
    return S_OK;
}

HRESULT ListViewHelper::PutExtendedStyle(DWORD bit, VARIANT_BOOL newVal) {
    if (!::IsWindow(window_)) {
        return NotAWindow();
    }
    ::SendMessageW(window_, LVM_SETEXTENDEDLISTVIEWSTYLE, bit, newVal != VARIANT_FALSE ? bit : 0);
    return S_OK;
}

HRESULT ListViewHelper::get_GridLines(VARIANT_BOOL* pVal) {
    return GetExtendedStyle(LVS_EX_GRIDLINES, pVal);
}

HRESULT ListViewHelper::put_GridLines(VARIANT_BOOL newVal) {
    return PutExtendedStyle(LVS_EX_GRIDLINES, newVal);
}

HRESULT ListViewHelper::get_CheckBoxes(VARIANT_BOOL* pVal) {
    return GetExtendedStyle(LVS_EX_CHECKBOXES, pVal);
}

HRESULT ListViewHelper::put_CheckBoxes(VARIANT_BOOL newVal) {
    return PutExtendedStyle(LVS_EX_CHECKBOXES, newVal);
}

HRESULT ListViewHelper::get_FullRowSelect(VARIANT_BOOL* pVal) {
    return GetExtendedStyle(LVS_EX_FULLROWSELECT, pVal);
}

HRESULT ListViewHelper::put_FullRowSelect(VARIANT_BOOL newVal) {
    return PutExtendedStyle(LVS_EX_FULLROWSELECT, newVal);
}

HRESULT ListViewHelper::GetFocus(LONG* pVal) {
    return ReturnFocusWindow(pVal);
}

HRESULT ListViewHelper::EnsureVisible(LONG index, VARIANT_BOOL AllowPartial) {
    ::SendMessageW(window_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index),
                   static_cast<LPARAM>(AllowPartial));
    return S_OK;
}

HRESULT ListViewHelper::PutColor(UINT message, LONG newVal) {
    ::SendMessageW(window_, message, 0, static_cast<LPARAM>(static_cast<DWORD>(newVal)));
    ::InvalidateRect(window_, nullptr, TRUE);
    return S_OK;
}

HRESULT ListViewHelper::get_BackColor(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(::SendMessageW(window_, LVM_GETBKCOLOR, 0, 0));
    return S_OK;
}

HRESULT ListViewHelper::put_BackColor(LONG newVal) {
    return PutColor(LVM_SETBKCOLOR, newVal);
}

HRESULT ListViewHelper::get_TextBackColor(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(::SendMessageW(window_, LVM_GETTEXTBKCOLOR, 0, 0));
    return S_OK;
}

HRESULT ListViewHelper::put_TextBackColor(LONG newVal) {
    return PutColor(LVM_SETTEXTBKCOLOR, newVal);
}

HRESULT ListViewHelper::get_TextColor(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(::SendMessageW(window_, LVM_GETTEXTCOLOR, 0, 0));
    return S_OK;
}

HRESULT ListViewHelper::put_TextColor(LONG newVal) {
    return PutColor(LVM_SETTEXTCOLOR, newVal);
}
