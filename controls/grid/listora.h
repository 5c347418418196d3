// Listora: the application script's data grid. A virtual grid on the
// platform's report-mode list view: the control keeps the row count and the
// column layout in the list view and asks the script for every cell's text
// and every row's check state through events with by-reference answers.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "Listora.h"
#include "common/com.h"
#include "common/handle.h"
#include "frame/contained_window.h"
#include "frame/control.h"

class Listora final : public frame::Control<Listora, IListora> {
public:
    static const frame::ControlClass& Class();
    // The control window's, the list view's and the header's message tables.
    static std::span<const frame::Message<Listora>> Messages();
    static std::span<const frame::Message<Listora>> ListMessages();
    static std::span<const frame::Message<Listora>> HeaderMessages();

    Listora();
    ~Listora() override;

    // What the grid adds to the embedding interfaces.
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;

    // IListora
    HRESULT STDMETHODCALLTYPE AboutBox() override;
    HRESULT STDMETHODCALLTYPE Refresh() override;
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_RowCount(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_RowCount(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ColumnCount(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ColumnCount(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ColumnAlignment(LONG Index, Alignment* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ColumnAlignment(LONG Index, Alignment newVal) override;
    HRESULT STDMETHODCALLTYPE get_ColumnHeader(LONG Index, BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ColumnHeader(LONG Index, BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_ColumnWidth(LONG Index, LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ColumnWidth(LONG Index, LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_Selection(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Selection(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ShowHeaders(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowHeaders(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_ShowCheckboxes(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowCheckboxes(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_HideSelection(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_HideSelection(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_ItemFontName(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ItemFontName(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_ItemFontSize(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ItemFontSize(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ItemFontBold(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ItemFontBold(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_ItemFontItalic(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ItemFontItalic(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_ItemBackColor(ULONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ItemBackColor(ULONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ItemForeColor(ULONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ItemForeColor(ULONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_HeaderFontName(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_HeaderFontName(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_HeaderFontSize(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_HeaderFontSize(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_HeaderFontBold(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_HeaderFontBold(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_HeaderFontItalic(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_HeaderFontItalic(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_HeaderBackColor(ULONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_HeaderBackColor(ULONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_HeaderForeColor(ULONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_HeaderForeColor(ULONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_SortArrowColumn(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_SortArrowColumn(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_FirstVisibleRow(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_RowsPerPage(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE Repaint() override;
    HRESULT STDMETHODCALLTYPE RedrawRange(LONG FirstRow, LONG LastRow) override;
    HRESULT STDMETHODCALLTYPE get_ContextMenu(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ContextMenu(VARIANT_BOOL newVal) override;

private:
    // The control window (grid_window.cpp).
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam, bool& handled);
    void RebuildFonts();
    common::UniqueGdiObject CreateGridFont(const common::UniqueBstr& name, LONG size, bool bold,
                                           bool italic) const;

    // The list view's notifications (grid_notify.cpp).
    LRESULT OnGetDispInfo(NMLVDISPINFOW& info);
    LRESULT OnItemChanged(const NMLISTVIEW& change);
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw);
    LRESULT OnClick(const NMITEMACTIVATE& click);

    // The list view's and the header's messages (grid_input.cpp, header_draw.cpp).
    LRESULT OnListEraseBackground(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnListDrawItem(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnListKeyDown(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnListKeyUp(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnListChar(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnListLeftDown(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnListRightDown(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnListMiddleDown(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnListLeftUp(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnListRightUp(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnListMiddleUp(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnListMouseMove(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnListDoubleClick(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnHeaderEraseBackground(WPARAM wParam, LPARAM lParam, bool& handled);
    void ButtonDown(SHORT button, WPARAM wParam, LPARAM lParam);
    void ButtonUp(SHORT button, WPARAM wParam, LPARAM lParam);
    void FireMouse(DISPID id, SHORT button, WPARAM wParam, LPARAM lParam);
    void FireKey(DISPID id, WPARAM wParam);
    void DrawHeaderItem(const DRAWITEMSTRUCT& item);

    // Member helpers (listora.cpp).
    // S_OK when the list view (and the header, when asked) can be reached
    // outside design mode; else the get or put error of the standard controls.
    HRESULT Gate(bool put, bool needsHeader = false) const;
    HRESULT CheckColumn(LONG index) const;
    LONG ColumnCountNow() const;
    LRESULT SendList(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    template <typename Store> HRESULT Put(DISPID id, Store&& store);
    HRESULT PutBool(DISPID id, bool& field, VARIANT_BOOL value, void (Listora::*apply)());
    HRESULT PutFontName(DISPID id, common::UniqueBstr& field, BSTR value);
    HRESULT PutLong(DISPID id, LONG& field, LONG value, void (Listora::*apply)());
    HRESULT PutColor(DISPID id, ULONG& field, ULONG value, HWND invalidate);
    void ApplyShowHeaders();
    void ApplyShowCheckboxes();
    void ApplyHideSelection();
    void ApplyEnabled();
    void InvalidateList() const;
    // Gives a header item back to the grid's drawing.
    void SetOwnerDrawn(int column) const;

    frame::ContainedWindow<Listora> list_{this, &Listora::ListMessages};
    frame::ContainedWindow<Listora> header_{this, &Listora::HeaderMessages};
    bool designMode_ = false;
    LONG twipsPerPixelX_ = 1;
    LONG twipsPerPixelY_ = 1;
    bool enabled_ = true;
    bool showHeaders_ = true;
    bool showCheckboxes_ = false;
    bool hideSelection_ = true;
    common::UniqueBstr itemFontName_;
    LONG itemFontSize_ = 8;
    bool itemFontBold_ = false;
    bool itemFontItalic_ = false;
    ULONG itemBackColor_ = 0xC0000005;
    ULONG itemForeColor_ = 0xC0000008;
    common::UniqueBstr headerFontName_;
    LONG headerFontSize_ = 8;
    bool headerFontBold_ = false;
    bool headerFontItalic_ = false;
    ULONG headerBackColor_ = 0xC000000F;
    ULONG headerForeColor_ = 0xC0000012;
    LONG sortArrowColumn_ = 0;
    bool contextMenu_ = false;
    common::UniqueGdiObject itemFont_;
    common::UniqueGdiObject headerFont_;
    SHORT pressedButton_ = 0;
};
