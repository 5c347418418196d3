// ListViewHelper on a real report list view.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "common/com.h"
#include "common/handle.h"
#include "deviceapi_server.h"

namespace {

const wchar_t* const kItems[] = {L"Apple", L"Abacus", L"Banana", L"Abbey", L"Ab"};

class ListViewHelperTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegisterDeviceApiServer(), S_OK);
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&init);
        list_.reset(::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | WS_VISIBLE | LVS_REPORT, 0,
                                      0, 200, 200, nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(list_);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 10;
        column.pszText = const_cast<wchar_t*>(L"Fruit and other words");
        ::SendMessageW(list_.get(), LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        for (int i = 0; i < 5; ++i) {
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = const_cast<wchar_t*>(kItems[i]);
            ::SendMessageW(list_.get(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        ASSERT_EQ(::CoCreateInstance(CLSID_ListViewHelper, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IListViewHelper, reinterpret_cast<void**>(helper_.put())),
                  S_OK);
    }
    void Attach() {
        ASSERT_EQ(
            helper_->put_CurrenthWnd(static_cast<LONG>(reinterpret_cast<LONG_PTR>(list_.get()))),
            S_OK);
    }
    LONG Find(const wchar_t* text, LONG start, VARIANT_BOOL exact) {
        common::UniqueBstr bstr(::SysAllocString(text));
        LONG index = -7;
        EXPECT_EQ(helper_->FindText(bstr.get(), start, exact, &index), S_OK);
        return index;
    }

    common::ComApartment apartment_;
    common::UniqueWindow list_;
    common::ComPtr<IListViewHelper> helper_;
};

TEST_F(ListViewHelperTest, CheckedMembersGiveStatus1400WithoutAWindowOthersSendUnchecked) {
    LONG count = -7;
    EXPECT_EQ(helper_->get_ItemCount(&count), static_cast<HRESULT>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(count, -7);
    EXPECT_EQ(helper_->ClearItems(), static_cast<HRESULT>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(helper_->get_TextColor(&count), S_OK);
    EXPECT_EQ(helper_->EnsureVisible(0, VARIANT_TRUE), S_OK);
}

TEST_F(ListViewHelperTest, CountsComeFromTheListView) {
    Attach();
    LONG count = 0;
    ASSERT_EQ(helper_->get_ItemCount(&count), S_OK);
    EXPECT_EQ(count, 5);
    ASSERT_EQ(helper_->SelectItem(2), S_OK);
    ASSERT_EQ(helper_->get_SelectedCount(&count), S_OK);
    EXPECT_EQ(count, 1);
    ASSERT_EQ(helper_->get_SelectedItem(&count), S_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(::SendMessageW(list_.get(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED),
              2);
    ASSERT_EQ(helper_->DeleteItem(0), S_OK);
    ASSERT_EQ(helper_->get_ItemCount(&count), S_OK);
    EXPECT_EQ(count, 4);
    ASSERT_EQ(helper_->ClearItems(), S_OK);
    ASSERT_EQ(helper_->get_ItemCount(&count), S_OK);
    EXPECT_EQ(count, 0);
}

TEST_F(ListViewHelperTest, FindTextLooksAtOrAfterTheStartIndex) {
    Attach();
    EXPECT_EQ(Find(L"Ab", 0, VARIANT_FALSE), 1);
    EXPECT_EQ(Find(L"Ab", 1, VARIANT_FALSE), 1);
    EXPECT_EQ(Find(L"Ab", 2, VARIANT_FALSE), 3);
    EXPECT_EQ(Find(L"Ab", 0, VARIANT_TRUE), 4);
    EXPECT_EQ(Find(L"Cherry", 0, VARIANT_FALSE), -1);
}

TEST_F(ListViewHelperTest, CheckedStateRoundTrips) {
    Attach();
    ASSERT_EQ(helper_->put_CheckBoxes(VARIANT_TRUE), S_OK);
    VARIANT_BOOL value = 7;
    ASSERT_EQ(helper_->get_CheckBoxes(&value), S_OK);
    EXPECT_EQ(value, VARIANT_TRUE);
    ASSERT_EQ(helper_->put_Checked(1, VARIANT_TRUE), S_OK);
    ASSERT_EQ(helper_->get_Checked(1, &value), S_OK);
    EXPECT_EQ(value, VARIANT_TRUE);
    ASSERT_EQ(helper_->get_Checked(0, &value), S_OK);
    EXPECT_EQ(value, VARIANT_FALSE);
    ASSERT_EQ(helper_->put_Checked(1, VARIANT_FALSE), S_OK);
    ASSERT_EQ(helper_->get_Checked(1, &value), S_OK);
    EXPECT_EQ(value, VARIANT_FALSE);
}

TEST_F(ListViewHelperTest, StyleBitsFollowTheirProperties) {
    Attach();
    VARIANT_BOOL value = 7;
    ASSERT_EQ(helper_->get_ColumnHeaders(&value), S_OK);
    EXPECT_EQ(value, VARIANT_TRUE);
    ASSERT_EQ(helper_->put_ColumnHeaders(VARIANT_FALSE), S_OK);
    EXPECT_NE(::GetWindowLongW(list_.get(), GWL_STYLE) & LVS_NOCOLUMNHEADER, 0);
    ASSERT_EQ(helper_->put_ColumnHeaders(VARIANT_FALSE), S_OK);
    ASSERT_EQ(helper_->get_ColumnHeaders(&value), S_OK);
    EXPECT_EQ(value, VARIANT_FALSE);
    ASSERT_EQ(helper_->put_ColumnHeaders(VARIANT_TRUE), S_OK);
    EXPECT_EQ(::GetWindowLongW(list_.get(), GWL_STYLE) & LVS_NOCOLUMNHEADER, 0);

    ASSERT_EQ(helper_->put_GridLines(VARIANT_TRUE), S_OK);
    ASSERT_EQ(helper_->put_FullRowSelect(VARIANT_TRUE), S_OK);
    ASSERT_EQ(helper_->put_GridLines(VARIANT_FALSE), S_OK);
    const LRESULT ex = ::SendMessageW(list_.get(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_EQ(ex & LVS_EX_GRIDLINES, 0);
    EXPECT_NE(ex & LVS_EX_FULLROWSELECT, 0);
    ASSERT_EQ(helper_->get_FullRowSelect(&value), S_OK);
    EXPECT_EQ(value, VARIANT_TRUE);
}

TEST_F(ListViewHelperTest, ColoursAndColumnWidthsReachTheListView) {
    Attach();
    ASSERT_EQ(helper_->put_TextColor(0x0000FF), S_OK);
    LONG colour = 0;
    ASSERT_EQ(helper_->get_TextColor(&colour), S_OK);
    EXPECT_EQ(colour, 0x0000FF);
    ASSERT_EQ(helper_->put_BackColor(0x00FF00), S_OK);
    ASSERT_EQ(helper_->get_BackColor(&colour), S_OK);
    EXPECT_EQ(colour, 0x00FF00);

    ASSERT_EQ(helper_->AutoSizeColumn(0, VARIANT_TRUE), S_OK);
    const LRESULT withHeader = ::SendMessageW(list_.get(), LVM_GETCOLUMNWIDTH, 0, 0);
    ASSERT_EQ(helper_->AutoSizeColumn(0, VARIANT_FALSE), S_OK);
    const LRESULT toData = ::SendMessageW(list_.get(), LVM_GETCOLUMNWIDTH, 0, 0);
    EXPECT_GT(withHeader, toData); // the header text is wider than every item
    ASSERT_EQ(helper_->DeleteColumn(0), S_OK);
    EXPECT_EQ(::SendMessageW(list_.get(), LVM_GETCOLUMNWIDTH, 0, 0), 0);
}

} // namespace
