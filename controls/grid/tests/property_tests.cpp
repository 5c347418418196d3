// The members of IListora against the real list view: twips, ranges, the
// column layout, the selection, styles, fonts, design mode and persistence.
#include <windows.h>
#include <commctrl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "grid_fixture.h"
#include "testsupport/ole_stores.h"

namespace {

LONG ColumnPixels(HWND list, int column) {
    return static_cast<LONG>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, column - 1, 0));
}

std::wstring HeaderText(IListora* grid, LONG index) {
    common::UniqueBstr text;
    EXPECT_EQ(grid->get_ColumnHeader(index, text.put()), S_OK);
    return std::wstring(text.view());
}

LOGFONTW FontOf(HWND window) {
    LOGFONTW font = {};
    HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(::SendMessageW(window, WM_GETFONT, 0, 0));
    ::GetObjectW(handle, sizeof font, &font);
    return font;
}

using Properties = GridTest;

TEST_F(Properties, NewGridHasItsDefaultsAndAnEmptyReportList) {
    Activate();
    VARIANT_BOOL flag = 0;
    grid_->get_Enabled(&flag);
    EXPECT_EQ(flag, VARIANT_TRUE);
    grid_->get_ShowHeaders(&flag);
    EXPECT_EQ(flag, VARIANT_TRUE);
    grid_->get_ShowCheckboxes(&flag);
    EXPECT_EQ(flag, VARIANT_FALSE);
    grid_->get_HideSelection(&flag);
    EXPECT_EQ(flag, VARIANT_TRUE);
    grid_->get_ContextMenu(&flag);
    EXPECT_EQ(flag, VARIANT_FALSE);
    common::UniqueBstr name;
    grid_->get_ItemFontName(name.put());
    EXPECT_EQ(name.view(), L"Tahoma");
    ULONG color = 0;
    grid_->get_ItemBackColor(&color);
    EXPECT_EQ(color, 0xC0000005u);
    grid_->get_ItemForeColor(&color);
    EXPECT_EQ(color, 0xC0000008u);
    grid_->get_HeaderBackColor(&color);
    EXPECT_EQ(color, 0xC000000Fu);
    grid_->get_HeaderForeColor(&color);
    EXPECT_EQ(color, 0xC0000012u);
    LONG value = -1;
    grid_->get_ItemFontSize(&value);
    EXPECT_EQ(value, 8);
    EXPECT_EQ(grid_->get_RowCount(&value), S_OK);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(grid_->get_ColumnCount(&value), S_OK);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(grid_->get_SortArrowColumn(&value), S_OK);
    EXPECT_EQ(value, 0);

    const LONG_PTR style = ::GetWindowLongPtrW(List(), GWL_STYLE);
    EXPECT_EQ(style & 0x50801005, 0x50801005);
    EXPECT_EQ(style & (LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS), 0);
    const LRESULT extended = ::SendMessageW(List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_NE(extended & LVS_EX_FULLROWSELECT, 0);
    EXPECT_EQ(extended & LVS_EX_CHECKBOXES, 0);
    // The list view fills the control window, and follows it when resized.
    RECT client = {};
    ::GetClientRect(container_.ControlWindow(), &client);
    RECT list = {};
    ::GetWindowRect(List(), &list);
    EXPECT_EQ(list.right - list.left, client.right);
    ASSERT_EQ(container_.Resize({0, 0, 300, 150}), S_OK);
    ::GetWindowRect(List(), &list);
    EXPECT_EQ(list.right - list.left, 300);
    EXPECT_EQ(list.bottom - list.top, 150);
}

TEST_F(Properties, NullOutPointersAreInvalidArguments) {
    Activate();
    EXPECT_EQ(grid_->get_RowCount(nullptr), E_INVALIDARG);
    EXPECT_EQ(grid_->get_Enabled(nullptr), E_INVALIDARG);
    EXPECT_EQ(grid_->get_ItemFontName(nullptr), E_INVALIDARG);
    EXPECT_EQ(grid_->get_ColumnHeader(1, nullptr), E_INVALIDARG);
}

TEST_F(Properties, ColumnWidthIsInTwipsAndLosesTheRemainderOfAPixel) {
    Activate();
    ASSERT_EQ(grid_->put_ColumnCount(2), S_OK);
    EXPECT_EQ(ColumnPixels(List(), 1), 60);
    LONG width = 0;
    ASSERT_EQ(grid_->get_ColumnWidth(2, &width), S_OK);
    EXPECT_EQ(width, 900) << "60 pixels at 15 twips a pixel";
    ASSERT_EQ(grid_->put_ColumnWidth(1, 1000), S_OK);
    EXPECT_EQ(ColumnPixels(List(), 1), 66);
    ASSERT_EQ(grid_->get_ColumnWidth(1, &width), S_OK);
    EXPECT_EQ(width, 990);
    // A negative width is an invalid value even for a column that does not exist.
    EXPECT_EQ(grid_->put_ColumnWidth(9, -1), CTL_E_INVALIDPROPERTYVALUE);
    EXPECT_EQ(grid_->put_ColumnWidth(3, 100), CTL_E_INVALIDPROPERTYARRAYINDEX);
}

TEST_F(Properties, ColumnCountGrowsWithEmptySixtyPixelColumnsAndShrinksFromTheEnd) {
    Activate();
    ASSERT_EQ(grid_->put_ColumnCount(2), S_OK);
    common::UniqueBstr first(L"Item");
    common::UniqueBstr second(L"Qty");
    ASSERT_EQ(grid_->put_ColumnHeader(1, first.get()), S_OK);
    ASSERT_EQ(grid_->put_ColumnHeader(2, second.get()), S_OK);
    ASSERT_EQ(grid_->put_ColumnCount(4), S_OK);
    LONG count = 0;
    grid_->get_ColumnCount(&count);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(HeaderText(grid_.get(), 1), L"Item");
    EXPECT_EQ(HeaderText(grid_.get(), 2), L"Qty");
    EXPECT_EQ(HeaderText(grid_.get(), 3), L"");
    EXPECT_EQ(ColumnPixels(List(), 4), 60);
    // Every header item is drawn by the grid.
    for (int i = 0; i < 4; ++i) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        ::SendMessageW(Header(), HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        EXPECT_NE(item.fmt & HDF_OWNERDRAW, 0) << i;
    }

    EXPECT_EQ(grid_->put_ColumnCount(101), CTL_E_INVALIDPROPERTYVALUE);
    EXPECT_EQ(grid_->put_ColumnCount(-1), CTL_E_INVALIDPROPERTYVALUE);
    ASSERT_EQ(grid_->put_ColumnCount(1), S_OK);
    EXPECT_EQ(HeaderText(grid_.get(), 1), L"Item");
    ASSERT_EQ(grid_->put_ColumnCount(0), S_OK);
    grid_->get_ColumnCount(&count);
    EXPECT_EQ(count, 0);
}

TEST_F(Properties, ColumnIndexesAreCheckedBeforeValues) {
    Activate();
    ASSERT_EQ(grid_->put_ColumnCount(2), S_OK);
    Alignment alignment = lrAlignLeft;
    EXPECT_EQ(grid_->get_ColumnAlignment(0, &alignment), CTL_E_INVALIDPROPERTYARRAYINDEX);
    common::UniqueBstr text;
    EXPECT_EQ(grid_->get_ColumnHeader(3, text.put()), CTL_E_INVALIDPROPERTYARRAYINDEX);
    EXPECT_EQ(grid_->put_ColumnAlignment(1, static_cast<Alignment>(3)), CTL_E_INVALIDPROPERTYVALUE);
    EXPECT_EQ(grid_->put_ColumnAlignment(3, static_cast<Alignment>(3)),
              CTL_E_INVALIDPROPERTYARRAYINDEX);

    ASSERT_EQ(grid_->put_ColumnAlignment(2, lrAlignCenter), S_OK);
    ASSERT_EQ(grid_->get_ColumnAlignment(2, &alignment), S_OK);
    EXPECT_EQ(alignment, lrAlignCenter);
    ASSERT_EQ(grid_->put_ColumnAlignment(2, lrAlignRight), S_OK);
    ASSERT_EQ(grid_->get_ColumnAlignment(2, &alignment), S_OK);
    EXPECT_EQ(alignment, lrAlignRight);
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    ::SendMessageW(Header(), HDM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_NE(item.fmt & HDF_OWNERDRAW, 0) << "still drawn by the grid";
    EXPECT_EQ(item.fmt & HDF_JUSTIFYMASK, HDF_RIGHT);
}

TEST_F(Properties, RowCountMakesVirtualRowsAndRejectsNegativeCounts) {
    Activate();
    ASSERT_EQ(grid_->put_RowCount(1000000), S_OK);
    LONG rows = 0;
    ASSERT_EQ(grid_->get_RowCount(&rows), S_OK);
    EXPECT_EQ(rows, 1000000);
    EXPECT_EQ(grid_->put_RowCount(-1), CTL_E_INVALIDPROPERTYVALUE);
    grid_->get_RowCount(&rows);
    EXPECT_EQ(rows, 1000000);
    LONG first = 0;
    ASSERT_EQ(grid_->get_FirstVisibleRow(&first), S_OK);
    EXPECT_EQ(first, 1);
    LONG perPage = 0;
    ASSERT_EQ(grid_->get_RowsPerPage(&perPage), S_OK);
    EXPECT_EQ(perPage, ::SendMessageW(List(), LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_GT(perPage, 0);
}

TEST_F(Properties, SelectionFollowsTheRulesOfItsRange) {
    Activate();
    ASSERT_EQ(grid_->put_RowCount(500), S_OK);
    LONG selection = -1;
    ASSERT_EQ(grid_->get_Selection(&selection), S_OK);
    EXPECT_EQ(selection, 0) << "nothing selected";

    ASSERT_EQ(grid_->put_Selection(500), S_OK);
    grid_->get_Selection(&selection);
    EXPECT_EQ(selection, 500);
    EXPECT_EQ(::SendMessageW(List(), LVM_GETITEMSTATE, 499, LVIS_SELECTED | LVIS_FOCUSED),
              LVIS_SELECTED | LVIS_FOCUSED);
    LONG first = 0;
    LONG perPage = 0;
    grid_->get_FirstVisibleRow(&first);
    grid_->get_RowsPerPage(&perPage);
    EXPECT_LE(first, 500);
    EXPECT_GE(first + perPage - 1, 500) << "the last row is scrolled fully into view";

    EXPECT_EQ(grid_->put_Selection(501), CTL_E_INVALIDPROPERTYVALUE);
    EXPECT_EQ(grid_->put_Selection(-1), CTL_E_INVALIDPROPERTYVALUE);
    ASSERT_EQ(grid_->put_Selection(0), S_OK);
    grid_->get_Selection(&selection);
    EXPECT_EQ(selection, 0);

    // A new row count clears the selection.
    ASSERT_EQ(grid_->put_Selection(3), S_OK);
    ASSERT_EQ(grid_->put_RowCount(500), S_OK);
    grid_->get_Selection(&selection);
    EXPECT_EQ(selection, 0);
}

TEST_F(Properties, StyleFlagsReachTheListView) {
    Activate();
    ASSERT_EQ(grid_->put_ShowHeaders(VARIANT_FALSE), S_OK);
    EXPECT_NE(::GetWindowLongPtrW(List(), GWL_STYLE) & LVS_NOCOLUMNHEADER, 0);
    ASSERT_EQ(grid_->put_ShowHeaders(VARIANT_TRUE), S_OK);
    EXPECT_EQ(::GetWindowLongPtrW(List(), GWL_STYLE) & LVS_NOCOLUMNHEADER, 0);
    ASSERT_EQ(grid_->put_HideSelection(VARIANT_FALSE), S_OK);
    EXPECT_NE(::GetWindowLongPtrW(List(), GWL_STYLE) & LVS_SHOWSELALWAYS, 0);

    ASSERT_EQ(grid_->put_RowCount(42), S_OK);
    ASSERT_EQ(grid_->put_Selection(7), S_OK);
    ASSERT_EQ(grid_->put_ShowCheckboxes(VARIANT_TRUE), S_OK);
    EXPECT_NE(::SendMessageW(List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES, 0);
    LONG rows = 0;
    LONG selection = -1;
    grid_->get_RowCount(&rows);
    grid_->get_Selection(&selection);
    EXPECT_EQ(rows, 42) << "the rows are made anew";
    EXPECT_EQ(selection, 0);

    ASSERT_EQ(grid_->put_Enabled(VARIANT_FALSE), S_OK);
    EXPECT_FALSE(::IsWindowEnabled(List()));
    EXPECT_FALSE(::IsWindowEnabled(container_.ControlWindow()));
    ASSERT_EQ(grid_->put_Enabled(VARIANT_TRUE), S_OK);
    EXPECT_TRUE(::IsWindowEnabled(List()));
}

TEST_F(Properties, FontsAreMadeFromNameSizeBoldAndItalic) {
    Activate();
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);

    LOGFONTW item = FontOf(List());
    EXPECT_STREQ(item.lfFaceName, L"Tahoma");
    EXPECT_EQ(item.lfHeight, -((8 * dpi + 36) / 72));
    EXPECT_EQ(item.lfWeight, 0);
    EXPECT_EQ(item.lfCharSet, DEFAULT_CHARSET);

    common::UniqueBstr courier(L"Courier New");
    ASSERT_EQ(grid_->put_HeaderFontName(courier.get()), S_OK);
    ASSERT_EQ(grid_->put_HeaderFontSize(11), S_OK);
    ASSERT_EQ(grid_->put_HeaderFontBold(VARIANT_TRUE), S_OK);
    ASSERT_EQ(grid_->put_HeaderFontItalic(VARIANT_TRUE), S_OK);
    LOGFONTW header = FontOf(Header());
    EXPECT_STREQ(header.lfFaceName, L"Courier New");
    EXPECT_EQ(header.lfHeight, -((11 * dpi + 36) / 72));
    EXPECT_EQ(header.lfWeight, 700);
    EXPECT_TRUE(header.lfItalic);
    EXPECT_STREQ(FontOf(List()).lfFaceName, L"Tahoma") << "the item font is its own";

    // A face name keeps its first 31 characters; a null name is empty.
    const std::wstring longName(40, L'x');
    common::UniqueBstr tooLong(longName);
    ASSERT_EQ(grid_->put_ItemFontName(tooLong.get()), S_OK);
    EXPECT_EQ(std::wstring(FontOf(List()).lfFaceName), longName.substr(0, 31));
    common::UniqueBstr stored;
    grid_->get_ItemFontName(stored.put());
    EXPECT_EQ(stored.view(), longName) << "the property keeps the whole name";
    ASSERT_EQ(grid_->put_ItemFontName(nullptr), S_OK);
    grid_->get_ItemFontName(stored.put());
    ASSERT_NE(stored.get(), nullptr);
    EXPECT_EQ(stored.length(), 0u);
}

TEST_F(Properties, SortArrowColumnMustNameAnExistingColumnEitherWay) {
    Activate();
    ASSERT_EQ(grid_->put_ColumnCount(2), S_OK);
    ASSERT_EQ(grid_->put_SortArrowColumn(-2), S_OK);
    LONG column = 0;
    grid_->get_SortArrowColumn(&column);
    EXPECT_EQ(column, -2);
    EXPECT_EQ(grid_->put_SortArrowColumn(3), CTL_E_INVALIDPROPERTYVALUE);
    EXPECT_EQ(grid_->put_SortArrowColumn(-3), CTL_E_INVALIDPROPERTYVALUE);
    EXPECT_EQ(grid_->put_SortArrowColumn(LONG_MIN), CTL_E_INVALIDPROPERTYVALUE);
    grid_->get_SortArrowColumn(&column);
    EXPECT_EQ(column, -2);
}

TEST_F(Properties, DesignModeRefusesWhatNeedsTheListViewAndStoresTheRest) {
    container_.SetUserMode(false);
    Activate();
    LONG value = 0;
    EXPECT_EQ(grid_->get_RowCount(&value), CTL_E_GETNOTSUPPORTED);
    EXPECT_EQ(grid_->put_RowCount(5), CTL_E_SETNOTSUPPORTED);
    EXPECT_EQ(grid_->get_ColumnCount(&value), CTL_E_GETNOTSUPPORTED);
    EXPECT_EQ(grid_->put_ColumnWidth(1, 10), CTL_E_SETNOTSUPPORTED);
    EXPECT_EQ(grid_->get_Selection(&value), CTL_E_GETNOTSUPPORTED);
    EXPECT_EQ(grid_->get_SortArrowColumn(&value), CTL_E_GETNOTSUPPORTED);
    EXPECT_EQ(grid_->put_SortArrowColumn(0), CTL_E_SETNOTSUPPORTED);
    EXPECT_EQ(grid_->get_FirstVisibleRow(&value), CTL_E_GETNOTSUPPORTED);
    EXPECT_EQ(grid_->RedrawRange(1, 2), CTL_E_GETNOTSUPPORTED);
    EXPECT_EQ(grid_->put_ShowCheckboxes(VARIANT_TRUE), S_OK);
    EXPECT_EQ(grid_->put_ItemForeColor(0x0000FF), S_OK);
    EXPECT_EQ(grid_->put_Enabled(VARIANT_FALSE), S_OK);
    EXPECT_TRUE(::IsWindowEnabled(List())) << "a designer's grid stays enabled";
    EXPECT_EQ(grid_->Refresh(), S_OK);
}

TEST_F(Properties, WithoutAWindowOnlyStoredPropertiesWork) {
    common::ComPtr<IListora> loose;
    ASSERT_EQ(::CoCreateInstance(CLSID_Listora, nullptr, CLSCTX_INPROC_SERVER, IID_IListora,
                                 loose.put_void()),
              S_OK);
    LONG value = 0;
    EXPECT_EQ(loose->get_RowCount(&value), CTL_E_GETNOTSUPPORTED);
    EXPECT_EQ(loose->put_RowCount(3), CTL_E_SETNOTSUPPORTED);
    EXPECT_EQ(loose->put_SortArrowColumn(1), CTL_E_SETNOTSUPPORTED);
    EXPECT_EQ(loose->get_SortArrowColumn(&value), S_OK);
    EXPECT_EQ(loose->put_ShowHeaders(VARIANT_FALSE), S_OK);
    EXPECT_EQ(loose->put_ItemFontSize(12), S_OK);
    EXPECT_EQ(loose->Refresh(), S_OK);
    EXPECT_EQ(loose->AboutBox(), S_OK);
}

TEST_F(Properties, EveryPutAsksTheContainerFirstAndARefusalChangesNothing) {
    Activate();
    container_.ClearNotifications();
    ASSERT_EQ(grid_->put_RowCount(10), S_OK);
    ASSERT_EQ(grid_->put_ItemFontBold(VARIANT_TRUE), S_OK);
    EXPECT_EQ(container_.RequestedEdits(), (std::vector<DISPID>{1, 12}));
    EXPECT_EQ(container_.ChangedProperties(), (std::vector<DISPID>{1, 12}));
    EXPECT_EQ(container_.As<IPersistStreamInit>()->IsDirty(), S_OK);

    container_.SetRefuseEdits(true);
    container_.ClearNotifications();
    EXPECT_EQ(grid_->put_RowCount(20), S_FALSE);
    EXPECT_EQ(grid_->put_HeaderBackColor(0x123456), S_FALSE);
    EXPECT_EQ(grid_->put_ColumnCount(3), S_FALSE);
    container_.SetRefuseEdits(false);
    LONG rows = 0;
    grid_->get_RowCount(&rows);
    EXPECT_EQ(rows, 10);
    ULONG color = 0;
    grid_->get_HeaderBackColor(&color);
    EXPECT_EQ(color, 0xC000000Fu);
    LONG columns = -1;
    grid_->get_ColumnCount(&columns);
    EXPECT_EQ(columns, 0);
    EXPECT_TRUE(container_.ChangedProperties().empty());
}

TEST_F(Properties, SavesItsSeventeenPropertiesInOrderAndLoadsThemBack) {
    Activate();
    ASSERT_EQ(grid_->put_RowCount(10), S_OK);
    ASSERT_EQ(grid_->put_ShowCheckboxes(VARIANT_TRUE), S_OK);
    ASSERT_EQ(grid_->put_ItemFontSize(14), S_OK);
    ASSERT_EQ(grid_->put_HeaderForeColor(0x00FF00), S_OK);
    ASSERT_EQ(grid_->put_ContextMenu(VARIANT_TRUE), S_OK);
    auto bag = testsupport::PropertyBag::Create();
    ASSERT_EQ(container_.As<IPersistPropertyBag>()->Save(bag.get(), TRUE, TRUE), S_OK);
    const std::vector<std::wstring> names = {
        L"Enabled",        L"ShowHeaders",      L"ShowCheckboxes",  L"HideSelection",
        L"ItemFontName",   L"ItemFontSize",     L"ItemFontBold",    L"ItemFontItalic",
        L"ItemBackColor",  L"ItemForeColor",    L"HeaderFontName",  L"HeaderFontSize",
        L"HeaderFontBold", L"HeaderFontItalic", L"HeaderBackColor", L"HeaderForeColor",
        L"ContextMenu"};
    EXPECT_EQ(bag->Names(), names);

    // A second grid loaded from the bag, then shown: the stored values take effect.
    testsupport::OleContainer other;
    ASSERT_EQ(other.Create(CLSID_Listora), S_OK);
    ASSERT_EQ(other.As<IPersistPropertyBag>()->Load(bag.get(), nullptr), S_OK);
    EXPECT_EQ(bag->Reads(), names) << "read back in the same order, and nothing else";
    ASSERT_EQ(other.Activate(), S_OK);
    auto loaded = other.As<IListora>();
    LONG size = 0;
    loaded->get_ItemFontSize(&size);
    EXPECT_EQ(size, 14);
    ULONG color = 0;
    loaded->get_HeaderForeColor(&color);
    EXPECT_EQ(color, 0x00FF00u);
    VARIANT_BOOL flag = 0;
    loaded->get_ContextMenu(&flag);
    EXPECT_EQ(flag, VARIANT_TRUE);
    HWND list = ::FindWindowExW(other.ControlWindow(), nullptr, L"LR:SysListView32", nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_NE(::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES, 0);
    LONG rows = -1;
    loaded->get_RowCount(&rows);
    EXPECT_EQ(rows, 0) << "rows are not saved";
}

} // namespace
