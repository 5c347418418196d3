// The frame's property page: its window from the template, its page
// information, when it loads and applies, and its dirty state. The test
// pages live in this program, with their templates in its resources.
#include <windows.h>
#include <ocidl.h>

#include <stdexcept>

#include <gtest/gtest.h>

#include "common/com.h"
#include "common/handle.h"
#include "frame/module.h"
#include "frame/property_page.h"
#include "property_page_ids.h"

namespace {

const CLSID kTestPageId = {
    0x5d4c0e61, 0x3a7b, 0x4f0e, {0x9a, 0x55, 0x21, 0x8e, 0x0b, 0x6c, 0x44, 0x13}};

const frame::PropertyPageClass kExtendedPage = {
    &kTestPageId, IDD_TEST_PAGE_EX, IDS_TEST_PAGE_TITLE, 0, IDS_TEST_PAGE_MISSING, 42};
const frame::PropertyPageClass kPlainPage = {&kTestPageId, IDD_TEST_PAGE_PLAIN, IDS_TEST_PAGE_TITLE,
                                             IDS_TEST_PAGE_TITLE, IDS_TEST_PAGE_DOC};
const frame::PropertyPageClass kMissingPage = {&kTestPageId, IDD_TEST_PAGE_MISSING, 0, 0, 0};

// Records what the frame asks of the page class.
class TestPage final : public frame::PropertyPage {
public:
    explicit TestPage(const frame::PropertyPageClass& cls) : PropertyPage(cls) {}

    HRESULT loadResult = S_OK;
    HRESULT applyResult = S_OK;
    bool throwOnLoad = false;
    int loads = 0;
    int applies = 0;
    bool windowVisibleAtLoad = false;
    size_t objectsAtLoad = 0;

    HWND Window() const { return PageWindow(); }
    void MarkDirty() { SetDirty(true); }

protected:
    HRESULT LoadFromObjects() override {
        ++loads;
        windowVisibleAtLoad = PageWindow() != nullptr && ::IsWindowVisible(PageWindow());
        objectsAtLoad = Objects().size();
        if (throwOnLoad) {
            throw std::runtime_error("load");
        }
        return loadResult;
    }
    HRESULT ApplyToObjects() override {
        ++applies;
        return applyResult;
    }
};

class PropertyPages : public ::testing::Test {
protected:
    void SetUp() override {
        parent_.reset(::CreateWindowExW(0, L"STATIC", L"frame", WS_POPUP | WS_VISIBLE, 0, 0, 500,
                                        300, nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(parent_.valid());
    }
    common::ComPtr<TestPage> NewPage(const frame::PropertyPageClass& cls) {
        return common::ComPtr<TestPage>(new TestPage(cls));
    }
    HRESULT Activate(TestPage* page) {
        RECT rect = {4, 4, 480, 280};
        return page->Activate(parent_.get(), &rect, TRUE);
    }

    common::ComApartment apartment_;
    common::UniqueWindow parent_;
};

TEST_F(PropertyPages, ThePageSizeIsTheTemplateAsTheDialogManagerLaysItOut) {
    const struct {
        const frame::PropertyPageClass* cls;
        LONG cx;
        LONG cy;
    } templates[] = {{&kExtendedPage, 200, 80}, {&kPlainPage, 150, 60}};
    for (const auto& t : templates) {
        auto page = NewPage(*t.cls);
        PROPPAGEINFO info = {};
        ASSERT_EQ(page->GetPageInfo(&info), S_OK);
        ASSERT_EQ(Activate(page.get()), S_OK);
        RECT size = {0, 0, t.cx, t.cy};
        ::MapDialogRect(page->Window(), &size);
        EXPECT_EQ(info.size.cx, size.right) << t.cx;
        EXPECT_EQ(info.size.cy, size.bottom) << t.cx;
        ::CoTaskMemFree(info.pszTitle);
        ::CoTaskMemFree(info.pszHelpFile);
        ::CoTaskMemFree(info.pszDocString);
    }
    // The bold nine-point font makes wider units than the system's font.
    const SIZE bold = frame::DialogTemplateSize(IDD_TEST_PAGE_EX);
    const LONG units = ::GetDialogBaseUnits();
    EXPECT_NE(bold.cx, ::MulDiv(200, LOWORD(units), 4));
}

TEST_F(PropertyPages, PageInformationNamesOnlyTheStringsThatExist) {
    auto page = NewPage(kExtendedPage);
    PROPPAGEINFO info = {};
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    EXPECT_STREQ(info.pszTitle, L"Test Page");
    EXPECT_EQ(info.pszHelpFile, nullptr) << "the class names none";
    EXPECT_EQ(info.pszDocString, nullptr) << "the string table has none";
    EXPECT_EQ(info.dwHelpContext, 42u);
    ::CoTaskMemFree(info.pszTitle);
    EXPECT_EQ(page->GetPageInfo(nullptr), E_POINTER);

    auto plain = NewPage(kPlainPage);
    ASSERT_EQ(plain->GetPageInfo(&info), S_OK);
    EXPECT_STREQ(info.pszHelpFile, L"Test Page");
    EXPECT_STREQ(info.pszDocString, L"What the test page sets");
    ::CoTaskMemFree(info.pszTitle);
    ::CoTaskMemFree(info.pszHelpFile);
    ::CoTaskMemFree(info.pszDocString);
}

TEST_F(PropertyPages, APageWithoutItsTemplateHasNoSizeAndCannotActivate) {
    auto page = NewPage(kMissingPage);
    PROPPAGEINFO info = {};
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    EXPECT_EQ(info.size.cx, 0);
    EXPECT_EQ(info.size.cy, 0);
    EXPECT_EQ(info.pszTitle, nullptr);
    EXPECT_TRUE(FAILED(Activate(page.get())));
    EXPECT_EQ(page->Window(), nullptr);
    EXPECT_EQ(::GetWindow(parent_.get(), GW_CHILD), nullptr);
}

TEST_F(PropertyPages, ShowingLoadsTheObjectsBeforeTheWindowShows) {
    auto page = NewPage(kExtendedPage);
    // Any object will do: the page itself, twice.
    IUnknown* objects[] = {page.get(), page.get()};
    ASSERT_EQ(page->SetObjects(2, objects), S_OK);
    ASSERT_EQ(Activate(page.get()), S_OK);
    EXPECT_FALSE(::IsWindowVisible(page->Window()));
    ASSERT_EQ(page->Show(SW_SHOW), S_OK);
    EXPECT_EQ(page->loads, 1);
    EXPECT_FALSE(page->windowVisibleAtLoad);
    EXPECT_EQ(page->objectsAtLoad, 2u);
    EXPECT_TRUE(::IsWindowVisible(page->Window()));

    ASSERT_EQ(page->Show(SW_HIDE), S_OK);
    page->loadResult = E_ACCESSDENIED;
    EXPECT_EQ(page->Show(SW_SHOW), E_ACCESSDENIED);
    EXPECT_FALSE(::IsWindowVisible(page->Window())) << "a failed load shows nothing";
    page->loadResult = S_OK;
    page->throwOnLoad = true;
    EXPECT_EQ(page->Show(SW_SHOW), E_FAIL) << "nothing escapes the page";
    ASSERT_EQ(page->SetObjects(0, nullptr), S_OK);
}

TEST_F(PropertyPages, ApplyClearsTheDirtyStateOnlyWhenItSucceeds) {
    auto page = NewPage(kExtendedPage);
    ASSERT_EQ(Activate(page.get()), S_OK);
    ASSERT_EQ(page->Show(SW_SHOW), S_OK);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    ::SendMessageW(::GetDlgItem(page->Window(), IDC_TEST_OTHER), BM_CLICK, 0, 0);
    EXPECT_EQ(page->IsPageDirty(), S_OK) << "a click on any button of the page";

    page->applyResult = E_ACCESSDENIED;
    EXPECT_EQ(page->Apply(), E_ACCESSDENIED);
    EXPECT_EQ(page->IsPageDirty(), S_OK);
    page->applyResult = S_OK;
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    EXPECT_EQ(page->Apply(), S_OK) << "an apply of a clean page still applies";
    EXPECT_EQ(page->applies, 3);

    page->MarkDirty();
    ASSERT_EQ(page->Deactivate(), S_OK);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE) << "the changes went with the window";
}

TEST_F(PropertyPages, APageHoldsTheServerAndAnswersOnlyPageInterfaces) {
    const LONG before = frame::module::LockCount();
    {
        auto page = NewPage(kPlainPage);
        EXPECT_EQ(frame::module::LockCount(), before + 1);
        EXPECT_TRUE(page.as<IPropertyPage>());
        EXPECT_TRUE(page.as<IPropertyPage2>());
        EXPECT_TRUE(page.as<IUnknown>());
        EXPECT_FALSE(page.as<IDispatch>());
        EXPECT_EQ(page->Help(L"C:\\"), E_NOTIMPL);
    }
    EXPECT_EQ(frame::module::LockCount(), before);
}

TEST_F(PropertyPages, KeyboardMessagesForThePageAreTheDialogs) {
    auto page = NewPage(kExtendedPage);
    MSG msg = {};
    EXPECT_EQ(page->TranslateAccelerator(&msg), S_FALSE) << "no window yet";
    EXPECT_EQ(page->TranslateAccelerator(nullptr), E_POINTER);
    ASSERT_EQ(Activate(page.get()), S_OK);
    ASSERT_EQ(page->Show(SW_SHOW), S_OK);
    HWND option = ::GetDlgItem(page->Window(), IDC_TEST_OPTION);
    msg = {option, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_EQ(page->TranslateAccelerator(&msg), S_OK);
    msg = {parent_.get(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_EQ(page->TranslateAccelerator(&msg), S_FALSE) << "not the page's";
}

} // namespace
