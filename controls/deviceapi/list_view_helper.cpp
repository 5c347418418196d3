#include "list_view_helper.h"

const frame::ObjectClass& ListViewHelper::Class() {
    static const frame::ObjectClass cls = {&CLSID_ListViewHelper, &IID_IListViewHelper, nullptr};
    return cls;
}

HRESULT ListViewHelper::get_CurrenthWnd(LONG*) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::put_CurrenthWnd(LONG) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::get_ItemCount(LONG*) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::get_SelectedCount(LONG*) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::get_CountPerPage(LONG*) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::get_TopIndex(LONG*) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::get_ColumnHeaders(VARIANT_BOOL*) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::put_ColumnHeaders(VARIANT_BOOL) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::FindText(BSTR, LONG, VARIANT_BOOL, LONG*) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::get_Checked(LONG, VARIANT_BOOL*) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::put_Checked(LONG, VARIANT_BOOL) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::SelectItem(LONG) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::get_SelectedItem(LONG*) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::AutoSizeColumn(LONG, VARIANT_BOOL) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::DeleteItem(LONG) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::DeleteColumn(LONG) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::ClearItems() {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::get_GridLines(VARIANT_BOOL*) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::put_GridLines(VARIANT_BOOL) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::get_CheckBoxes(VARIANT_BOOL*) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::put_CheckBoxes(VARIANT_BOOL) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::get_FullRowSelect(VARIANT_BOOL*) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::put_FullRowSelect(VARIANT_BOOL) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::GetFocus(LONG*) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::EnsureVisible(LONG, VARIANT_BOOL) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::get_BackColor(LONG*) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::put_BackColor(LONG) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::get_TextBackColor(LONG*) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::put_TextBackColor(LONG) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::get_TextColor(LONG*) {
    return E_NOTIMPL;
}

HRESULT ListViewHelper::put_TextColor(LONG) {
    return E_NOTIMPL;
}
