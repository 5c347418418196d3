// The grid's class, its embedding additions, and the members of IListora.
#include "listora.h"

#include <cstdlib>
#include <cwchar>

#include "grid_constants.h"

using namespace grid;

namespace {

// Saved and loaded in this order; the row and column layout, the selection
// and the sort arrow are the script's to set at run time.
const frame::Property kProperties[] = {
    {L"Enabled", DISPID_ENABLED, true},
    {L"ShowHeaders", kDispShowHeaders, true},
    {L"ShowCheckboxes", kDispShowCheckboxes, true},
    {L"HideSelection", kDispHideSelection, true},
    {L"ItemFontName", kDispItemFontName, true},
    {L"ItemFontSize", kDispItemFontSize, true},
    {L"ItemFontBold", kDispItemFontBold, true},
    {L"ItemFontItalic", kDispItemFontItalic, true},
    {L"ItemBackColor", kDispItemBackColor, true},
    {L"ItemForeColor", kDispItemForeColor, true},
    {L"HeaderFontName", kDispHeaderFontName, true},
    {L"HeaderFontSize", kDispHeaderFontSize, true},
    {L"HeaderFontBold", kDispHeaderFontBold, true},
    {L"HeaderFontItalic", kDispHeaderFontItalic, true},
    {L"HeaderBackColor", kDispHeaderBackColor, true},
    {L"HeaderForeColor", kDispHeaderForeColor, true},
    {L"ContextMenu", kDispContextMenu, true},
};

const wchar_t kDefaultFontName[] = L"Tahoma";
constexpr LONG kTwipsPerInch = 1440;
constexpr LONG kMaxColumns = 100;
constexpr int kNewColumnWidth = 60;
constexpr int kHeaderTextChars = 256;

// A property get: the caller's pointer must be there to receive the value.
template <typename T, typename V> HRESULT ReturnValue(T* out, V value) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    *out = value;
    return S_OK;
}

VARIANT_BOOL ToVariantBool(bool value) {
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

LONG TwipsPerPixel(HDC screen, int axis) {
    const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, axis) : 0;
    const LONG factor = dpi > 0 ? kTwipsPerInch / dpi : kTwipsPerInch / 96;
    return factor < 1 ? 1 : factor;
}

HRESULT CopyOut(const common::UniqueBstr& value, BSTR* out) {
    *out = ::SysAllocStringLen(value.get() != nullptr ? value.get() : L"", value.length());
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

} // namespace

const frame::ControlClass& Listora::Class() {
    static const frame::ControlClass cls = {
        {&CLSID_Listora, &IID_IListora, &DIID_IListoraEvents},
        L"Listora",
        frame::kMiscStatusControl,
        kProperties,
        {},
        true,
        false, // a form keeps the grid's size itself: no extent among its saved items
    };
    return cls;
}

Listora::Listora() : itemFontName_(kDefaultFontName), headerFontName_(kDefaultFontName) {
    // Once, from the screen: every position and width the script sees is in twips.
    common::WindowDc screen(nullptr);
    twipsPerPixelX_ = TwipsPerPixel(screen.get(), LOGPIXELSX);
    twipsPerPixelY_ = TwipsPerPixel(screen.get(), LOGPIXELSY);
}

Listora::~Listora() = default;

// --- Embedding ---

HRESULT Listora::SetClientSite(IOleClientSite* site) {
    HRESULT hr = ControlBase::SetClientSite(site);
    designMode_ = !UserMode();
    return hr;
}

HRESULT Listora::SetObjectRects(LPCRECT position, LPCRECT clip) {
    HRESULT hr = ControlBase::SetObjectRects(position, clip);
    if (SUCCEEDED(hr) && list_) {
        ::SetWindowPos(list_.get(), nullptr, 0, 0, position->right - position->left,
                       position->bottom - position->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return hr;
}

HRESULT Listora::TranslateAccelerator(LPMSG message) {
    // The arrow keys move through the rows: the container must not take them
    // for its own navigation between controls.
    if (message != nullptr && InPlaceActive() && message->message == WM_KEYDOWN &&
        message->wParam >= VK_LEFT && message->wParam <= VK_DOWN) {
        ::TranslateMessage(message);
        ::DispatchMessageW(message);
        return S_OK;
    }
    return ControlBase::TranslateAccelerator(message);
}

// --- Helpers ---

HRESULT Listora::Gate(bool put, bool needsHeader) const {
    if (designMode_ || !list_ || (needsHeader && !header_)) {
        return put ? kSetNotSupported : kGetNotSupported;
    }
    return S_OK;
}

LONG Listora::ColumnCountNow() const {
    return header_ ? static_cast<LONG>(::SendMessageW(header_.get(), HDM_GETITEMCOUNT, 0, 0)) : 0;
}

HRESULT Listora::CheckColumn(LONG index) const {
    return index < 1 || index > ColumnCountNow() ? kInvalidPropertyArrayIndex : S_OK;
}

LRESULT Listora::SendList(UINT message, WPARAM wParam, LPARAM lParam) const {
    return list_ ? ::SendMessageW(list_.get(), message, wParam, lParam) : 0;
}

void Listora::SetOwnerDrawn(int column) const {
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    ::SendMessageW(header_.get(), HDM_GETITEMW, static_cast<WPARAM>(column),
                   reinterpret_cast<LPARAM>(&item));
    item.fmt |= HDF_OWNERDRAW;
    ::SendMessageW(header_.get(), HDM_SETITEMW, static_cast<WPARAM>(column),
                   reinterpret_cast<LPARAM>(&item));
}

void Listora::InvalidateList() const {
    if (list_) {
        ::InvalidateRect(list_.get(), nullptr, TRUE);
    }
}

template <typename Store> HRESULT Listora::Put(DISPID id, Store&& store) {
    try {
        return PutProperty(id, std::forward<Store>(store));
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT Listora::PutBool(DISPID id, bool& field, VARIANT_BOOL value, void (Listora::*apply)()) {
    return Put(id, [&] {
        field = value != VARIANT_FALSE;
        if (apply != nullptr) {
            (this->*apply)();
        }
        return S_OK;
    });
}

HRESULT Listora::PutLong(DISPID id, LONG& field, LONG value, void (Listora::*apply)()) {
    return Put(id, [&] {
        field = value;
        if (apply != nullptr) {
            (this->*apply)();
        }
        return S_OK;
    });
}

HRESULT Listora::PutFontName(DISPID id, common::UniqueBstr& field, BSTR value) {
    return Put(id, [&] {
        common::UniqueBstr copy(value != nullptr ? std::wstring_view(value, ::SysStringLen(value))
                                                 : std::wstring_view());
        if (copy.get() == nullptr) {
            return E_OUTOFMEMORY;
        }
        field = std::move(copy);
        RebuildFonts();
        return S_OK;
    });
}

HRESULT Listora::PutColor(DISPID id, ULONG& field, ULONG value, HWND invalidate) {
    return Put(id, [&] {
        field = value;
        if (invalidate != nullptr) {
            ::InvalidateRect(invalidate, nullptr, TRUE);
        }
        return S_OK;
    });
}

void Listora::ApplyEnabled() {
    if (designMode_ || Window() == nullptr || !list_) {
        return;
    }
    ::EnableWindow(Window(), enabled_);
    ::EnableWindow(list_.get(), enabled_);
    if (!enabled_ && UIActive()) {
        UIDeactivate();
    }
}

void Listora::ApplyShowHeaders() {
    if (!list_) {
        return;
    }
    const LONG_PTR style = ::GetWindowLongPtrW(list_.get(), GWL_STYLE);
    const LONG_PTR wanted = showHeaders_ ? (style & ~static_cast<LONG_PTR>(LVS_NOCOLUMNHEADER))
                                         : (style | LVS_NOCOLUMNHEADER);
    ::SetWindowLongPtrW(list_.get(), GWL_STYLE, wanted);
}

void Listora::ApplyShowCheckboxes() {
    if (!list_) {
        return;
    }
    // The list view keeps no check state of its own for virtual rows: the
    // rows are made anew and ask the script again.
    const LRESULT count = SendList(LVM_GETITEMCOUNT);
    SendList(LVM_DELETEALLITEMS);
    SendList(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES,
             showCheckboxes_ ? LVS_EX_CHECKBOXES : 0);
    SendList(LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0);
}

void Listora::ApplyHideSelection() {
    if (!list_) {
        return;
    }
    const LONG_PTR style = ::GetWindowLongPtrW(list_.get(), GWL_STYLE);
    const LONG_PTR wanted = hideSelection_ ? (style & ~static_cast<LONG_PTR>(LVS_SHOWSELALWAYS))
                                           : (style | LVS_SHOWSELALWAYS);
    ::SetWindowLongPtrW(list_.get(), GWL_STYLE, wanted);
}

// --- IListora ---

HRESULT Listora::AboutBox() {
    return S_OK;
}

HRESULT Listora::Refresh() {
    InvalidateList();
    return S_OK;
}

HRESULT Listora::Repaint() {
    return Refresh();
}

HRESULT Listora::get_Enabled(VARIANT_BOOL* pVal) {
    return ReturnValue(pVal, ToVariantBool(enabled_));
}

HRESULT Listora::put_Enabled(VARIANT_BOOL newVal) {
    return PutBool(DISPID_ENABLED, enabled_, newVal, &Listora::ApplyEnabled);
}

HRESULT Listora::get_RowCount(LONG* pVal) {
    if (pVal == nullptr) {
        return E_INVALIDARG;
    }
    HRESULT hr = Gate(false);
    if (FAILED(hr)) {
        return hr;
    }
    *pVal = static_cast<LONG>(SendList(LVM_GETITEMCOUNT));
    return S_OK;
}

HRESULT Listora::put_RowCount(LONG newVal) {
    HRESULT hr = Gate(true);
    if (FAILED(hr)) {
        return hr;
    }
    if (newVal < 0) {
        return kInvalidPropertyValue;
    }
    return Put(kDispRowCount, [&] {
        SendList(LVM_DELETEALLITEMS);
        SendList(LVM_SETITEMCOUNT, static_cast<WPARAM>(newVal), 0);
        return S_OK;
    });
}

HRESULT Listora::get_ColumnCount(LONG* pVal) {
    if (pVal == nullptr) {
        return E_INVALIDARG;
    }
    HRESULT hr = Gate(false, true);
    if (FAILED(hr)) {
        return hr;
    }
    *pVal = ColumnCountNow();
    return S_OK;
}

HRESULT Listora::put_ColumnCount(LONG newVal) {
    HRESULT hr = Gate(true, true);
    if (FAILED(hr)) {
        return hr;
    }
    if (newVal < 0 || newVal > kMaxColumns) {
        return kInvalidPropertyValue;
    }
    return Put(kDispColumnCount, [&] {
        for (LONG i = ColumnCountNow(); i < newVal; ++i) {
            wchar_t empty[] = L"";
            LVCOLUMNW column = {};
            column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
            column.fmt = LVCFMT_LEFT;
            column.cx = kNewColumnWidth;
            column.pszText = empty;
            column.iSubItem = static_cast<int>(i);
            const LRESULT inserted = SendList(LVM_INSERTCOLUMNW, static_cast<WPARAM>(i),
                                              reinterpret_cast<LPARAM>(&column));
            if (inserted >= 0) { // a column that cannot be inserted is skipped
                SetOwnerDrawn(static_cast<int>(inserted));
            }
        }
        for (LONG count = ColumnCountNow(); count > newVal; count = ColumnCountNow()) {
            if (SendList(LVM_DELETECOLUMN, static_cast<WPARAM>(count - 1)) == 0) {
                break; // the list view refuses: what is left stays
            }
        }
        return S_OK;
    });
}

HRESULT Listora::get_ColumnAlignment(LONG Index, Alignment* pVal) {
    if (pVal == nullptr) {
        return E_INVALIDARG;
    }
    HRESULT hr = Gate(false, true);
    if (SUCCEEDED(hr)) {
        hr = CheckColumn(Index);
    }
    if (FAILED(hr)) {
        return hr;
    }
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT;
    SendList(LVM_GETCOLUMNW, static_cast<WPARAM>(Index - 1), reinterpret_cast<LPARAM>(&column));
    *pVal = static_cast<Alignment>(column.fmt & LVCFMT_JUSTIFYMASK);
    return S_OK;
}

HRESULT Listora::put_ColumnAlignment(LONG Index, Alignment newVal) {
    HRESULT hr = Gate(true, true);
    if (SUCCEEDED(hr)) {
        hr = CheckColumn(Index);
    }
    if (FAILED(hr)) {
        return hr;
    }
    if (newVal != lrAlignLeft && newVal != lrAlignRight && newVal != lrAlignCenter) {
        return kInvalidPropertyValue;
    }
    return Put(kDispColumnAlignment, [&] {
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT;
        column.fmt = static_cast<int>(newVal);
        SendList(LVM_SETCOLUMNW, static_cast<WPARAM>(Index - 1), reinterpret_cast<LPARAM>(&column));
        // Setting the format takes the owner-draw flag off the header item.
        SetOwnerDrawn(Index - 1);
        return S_OK;
    });
}

HRESULT Listora::get_ColumnHeader(LONG Index, BSTR* pVal) {
    if (pVal == nullptr) {
        return E_INVALIDARG;
    }
    HRESULT hr = Gate(false, true);
    if (SUCCEEDED(hr)) {
        hr = CheckColumn(Index);
    }
    if (FAILED(hr)) {
        return hr;
    }
    wchar_t text[kHeaderTextChars] = {};
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = kHeaderTextChars;
    SendList(LVM_GETCOLUMNW, static_cast<WPARAM>(Index - 1), reinterpret_cast<LPARAM>(&column));
    text[kHeaderTextChars - 1] = L'\0';
    *pVal = ::SysAllocString(text);
    return *pVal != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT Listora::put_ColumnHeader(LONG Index, BSTR newVal) {
    HRESULT hr = Gate(true, true);
    if (SUCCEEDED(hr)) {
        hr = CheckColumn(Index);
    }
    if (FAILED(hr)) {
        return hr;
    }
    return Put(kDispColumnHeader, [&] {
        wchar_t empty[] = L"";
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT;
        column.pszText = newVal != nullptr ? newVal : empty;
        SendList(LVM_SETCOLUMNW, static_cast<WPARAM>(Index - 1), reinterpret_cast<LPARAM>(&column));
        // So does setting the text, on this platform's list view.
        SetOwnerDrawn(Index - 1);
        return S_OK;
    });
}

HRESULT Listora::get_ColumnWidth(LONG Index, LONG* pVal) {
    if (pVal == nullptr) {
        return E_INVALIDARG;
    }
    HRESULT hr = Gate(false, true);
    if (SUCCEEDED(hr)) {
        hr = CheckColumn(Index);
    }
    if (FAILED(hr)) {
        return hr;
    }
    *pVal = static_cast<LONG>(SendList(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(Index - 1))) *
            twipsPerPixelX_;
    return S_OK;
}

HRESULT Listora::put_ColumnWidth(LONG Index, LONG newVal) {
    HRESULT hr = Gate(true, true);
    if (FAILED(hr)) {
        return hr;
    }
    if (newVal < 0) {
        return kInvalidPropertyValue;
    }
    hr = CheckColumn(Index);
    if (FAILED(hr)) {
        return hr;
    }
    return Put(kDispColumnWidth, [&] {
        SendList(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(Index - 1),
                 MAKELPARAM(newVal / twipsPerPixelX_, 0));
        return S_OK;
    });
}

HRESULT Listora::get_Selection(LONG* pVal) {
    if (pVal == nullptr) {
        return E_INVALIDARG;
    }
    HRESULT hr = Gate(false);
    if (FAILED(hr)) {
        return hr;
    }
    *pVal =
        static_cast<LONG>(SendList(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)) + 1;
    return S_OK;
}

HRESULT Listora::put_Selection(LONG newVal) {
    HRESULT hr = Gate(true);
    if (FAILED(hr)) {
        return hr;
    }
    if (newVal < 0 || newVal > static_cast<LONG>(SendList(LVM_GETITEMCOUNT))) {
        return kInvalidPropertyValue;
    }
    return Put(kDispSelection, [&] {
        LVITEMW state = {};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = newVal > 0 ? LVIS_SELECTED | LVIS_FOCUSED : 0;
        const WPARAM row = newVal > 0 ? static_cast<WPARAM>(newVal - 1) : static_cast<WPARAM>(-1);
        if (SendList(LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state)) != 0 && newVal > 0) {
            SendList(LVM_ENSUREVISIBLE, row, FALSE);
        }
        return S_OK;
    });
}

HRESULT Listora::get_ShowHeaders(VARIANT_BOOL* pVal) {
    return ReturnValue(pVal, ToVariantBool(showHeaders_));
}

HRESULT Listora::put_ShowHeaders(VARIANT_BOOL newVal) {
    return PutBool(kDispShowHeaders, showHeaders_, newVal, &Listora::ApplyShowHeaders);
}

HRESULT Listora::get_ShowCheckboxes(VARIANT_BOOL* pVal) {
    return ReturnValue(pVal, ToVariantBool(showCheckboxes_));
}

HRESULT Listora::put_ShowCheckboxes(VARIANT_BOOL newVal) {
    return PutBool(kDispShowCheckboxes, showCheckboxes_, newVal, &Listora::ApplyShowCheckboxes);
}

HRESULT Listora::get_HideSelection(VARIANT_BOOL* pVal) {
    return ReturnValue(pVal, ToVariantBool(hideSelection_));
}

HRESULT Listora::put_HideSelection(VARIANT_BOOL newVal) {
    return PutBool(kDispHideSelection, hideSelection_, newVal, &Listora::ApplyHideSelection);
}

HRESULT Listora::get_ItemFontName(BSTR* pVal) {
    return pVal == nullptr ? E_INVALIDARG : CopyOut(itemFontName_, pVal);
}

HRESULT Listora::put_ItemFontName(BSTR newVal) {
    return PutFontName(kDispItemFontName, itemFontName_, newVal);
}

HRESULT Listora::get_ItemFontSize(LONG* pVal) {
    return ReturnValue(pVal, itemFontSize_);
}

HRESULT Listora::put_ItemFontSize(LONG newVal) {
    return PutLong(kDispItemFontSize, itemFontSize_, newVal, &Listora::RebuildFonts);
}

HRESULT Listora::get_ItemFontBold(VARIANT_BOOL* pVal) {
    return ReturnValue(pVal, ToVariantBool(itemFontBold_));
}

HRESULT Listora::put_ItemFontBold(VARIANT_BOOL newVal) {
    return PutBool(kDispItemFontBold, itemFontBold_, newVal, &Listora::RebuildFonts);
}

HRESULT Listora::get_ItemFontItalic(VARIANT_BOOL* pVal) {
    return ReturnValue(pVal, ToVariantBool(itemFontItalic_));
}

HRESULT Listora::put_ItemFontItalic(VARIANT_BOOL newVal) {
    return PutBool(kDispItemFontItalic, itemFontItalic_, newVal, &Listora::RebuildFonts);
}

HRESULT Listora::get_ItemBackColor(ULONG* pVal) {
    return ReturnValue(pVal, itemBackColor_);
}

HRESULT Listora::put_ItemBackColor(ULONG newVal) {
    return PutColor(kDispItemBackColor, itemBackColor_, newVal, list_.get());
}

HRESULT Listora::get_ItemForeColor(ULONG* pVal) {
    return ReturnValue(pVal, itemForeColor_);
}

HRESULT Listora::put_ItemForeColor(ULONG newVal) {
    return PutColor(kDispItemForeColor, itemForeColor_, newVal, list_.get());
}

HRESULT Listora::get_HeaderFontName(BSTR* pVal) {
    return pVal == nullptr ? E_INVALIDARG : CopyOut(headerFontName_, pVal);
}

HRESULT Listora::put_HeaderFontName(BSTR newVal) {
    return PutFontName(kDispHeaderFontName, headerFontName_, newVal);
}

HRESULT Listora::get_HeaderFontSize(LONG* pVal) {
    return ReturnValue(pVal, headerFontSize_);
}

HRESULT Listora::put_HeaderFontSize(LONG newVal) {
    return PutLong(kDispHeaderFontSize, headerFontSize_, newVal, &Listora::RebuildFonts);
}

HRESULT Listora::get_HeaderFontBold(VARIANT_BOOL* pVal) {
    return ReturnValue(pVal, ToVariantBool(headerFontBold_));
}

HRESULT Listora::put_HeaderFontBold(VARIANT_BOOL newVal) {
    return PutBool(kDispHeaderFontBold, headerFontBold_, newVal, &Listora::RebuildFonts);
}

HRESULT Listora::get_HeaderFontItalic(VARIANT_BOOL* pVal) {
    return ReturnValue(pVal, ToVariantBool(headerFontItalic_));
}

HRESULT Listora::put_HeaderFontItalic(VARIANT_BOOL newVal) {
    return PutBool(kDispHeaderFontItalic, headerFontItalic_, newVal, &Listora::RebuildFonts);
}

HRESULT Listora::get_HeaderBackColor(ULONG* pVal) {
    return ReturnValue(pVal, headerBackColor_);
}

HRESULT Listora::put_HeaderBackColor(ULONG newVal) {
    return PutColor(kDispHeaderBackColor, headerBackColor_, newVal, header_.get());
}

HRESULT Listora::get_HeaderForeColor(ULONG* pVal) {
    return ReturnValue(pVal, headerForeColor_);
}

HRESULT Listora::put_HeaderForeColor(ULONG newVal) {
    return PutColor(kDispHeaderForeColor, headerForeColor_, newVal, header_.get());
}

HRESULT Listora::get_SortArrowColumn(LONG* pVal) {
    if (pVal == nullptr) {
        return E_INVALIDARG;
    }
    if (designMode_) {
        return kGetNotSupported;
    }
    *pVal = sortArrowColumn_;
    return S_OK;
}

HRESULT Listora::put_SortArrowColumn(LONG newVal) {
    HRESULT hr = Gate(true, true);
    if (FAILED(hr)) {
        return hr;
    }
    if (std::llabs(static_cast<long long>(newVal)) > ColumnCountNow()) {
        return kInvalidPropertyValue;
    }
    return Put(kDispSortArrowColumn, [&] {
        sortArrowColumn_ = newVal;
        ::InvalidateRect(header_.get(), nullptr, TRUE);
        return S_OK;
    });
}

HRESULT Listora::get_FirstVisibleRow(LONG* pVal) {
    if (pVal == nullptr) {
        return E_INVALIDARG;
    }
    HRESULT hr = Gate(false);
    if (FAILED(hr)) {
        return hr;
    }
    *pVal = static_cast<LONG>(SendList(LVM_GETTOPINDEX)) + 1;
    return S_OK;
}

HRESULT Listora::get_RowsPerPage(LONG* pVal) {
    if (pVal == nullptr) {
        return E_INVALIDARG;
    }
    HRESULT hr = Gate(false);
    if (FAILED(hr)) {
        return hr;
    }
    *pVal = static_cast<LONG>(SendList(LVM_GETCOUNTPERPAGE));
    return S_OK;
}

HRESULT Listora::RedrawRange(LONG FirstRow, LONG LastRow) {
    HRESULT hr = Gate(false);
    if (FAILED(hr)) {
        return hr;
    }
    SendList(LVM_REDRAWITEMS, static_cast<WPARAM>(FirstRow - 1), static_cast<LPARAM>(LastRow - 1));
    return S_OK;
}

HRESULT Listora::get_ContextMenu(VARIANT_BOOL* pVal) {
    return ReturnValue(pVal, ToVariantBool(contextMenu_));
}

HRESULT Listora::put_ContextMenu(VARIANT_BOOL newVal) {
    return PutBool(kDispContextMenu, contextMenu_, newVal, nullptr);
}
