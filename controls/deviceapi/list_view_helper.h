// ListViewHelper: queries and changes on an existing list view window.
#pragma once

#include "MXQRAPI.h"
#include "frame/object.h"

class ListViewHelper final : public frame::Object<ListViewHelper, IListViewHelper> {
public:
    static const frame::ObjectClass& Class();

    HRESULT STDMETHODCALLTYPE get_CurrenthWnd(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_CurrenthWnd(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ItemCount(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_SelectedCount(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_CountPerPage(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_TopIndex(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_ColumnHeaders(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ColumnHeaders(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE FindText(BSTR TextToFind, LONG StartAt, VARIANT_BOOL ExactMatch,
                                       LONG* index) override;
    HRESULT STDMETHODCALLTYPE get_Checked(LONG ItemIndex, VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Checked(LONG ItemIndex, VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE SelectItem(LONG ItemIndex) override;
    HRESULT STDMETHODCALLTYPE get_SelectedItem(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE AutoSizeColumn(LONG ColumnIndex, VARIANT_BOOL UseHeader) override;
    HRESULT STDMETHODCALLTYPE DeleteItem(LONG ItemIndex) override;
    HRESULT STDMETHODCALLTYPE DeleteColumn(LONG ColumnIndex) override;
    HRESULT STDMETHODCALLTYPE ClearItems() override;
    HRESULT STDMETHODCALLTYPE get_GridLines(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_GridLines(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_CheckBoxes(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_CheckBoxes(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_FullRowSelect(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_FullRowSelect(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE GetFocus(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE EnsureVisible(LONG index, VARIANT_BOOL AllowPartial) override;
    HRESULT STDMETHODCALLTYPE get_BackColor(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_BackColor(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_TextBackColor(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_TextBackColor(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_TextColor(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_TextColor(LONG newVal) override;
};
