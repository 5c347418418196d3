// The pages as a container's property frame finds them: offered by the
// control, their page information, their dialog templates, the page
// protocol and the dirty state, and the system's own property frame.
#include <windows.h>
#include <commctrl.h>
#include <olectl.h>
#include <prsht.h>

#include <string>

#include "barcode_fixture.h"
#include "page_driver.h"
#include "resource.h"

namespace {

struct Box {
    int id;
    const wchar_t* text;
    RECT units; // x, y, width, height in dialog units
};

const Box kBarCodeBoxes[] = {
    {201, L"Auto Good Read LED", {17, 7, 92, 10}},
    {204, L"Auto Data Valid LED", {17, 21, 96, 10}},
    {202, L"Auto Beep", {17, 35, 49, 10}},
    {205, L"Trigger Enable", {17, 49, 96, 10}},
    {206, L"Convert Data To Unicode", {17, 63, 96, 10}},
    {203, L"Flush Data On Grid Change", {17, 77, 104, 10}},
};

const Box kGridBoxes[] = {
    {204, L"Code 39", {15, 25, 47, 10}},
    {207, L"Code 93", {15, 52, 47, 10}},
    {205, L"Code 49", {15, 38, 47, 10}},
    {210, L"I 2 of  5", {95, 10, 50, 10}},
    {215, L"CODABAR", {95, 25, 50, 10}},
    {214, L"UPC", {175, 40, 50, 10}},
    {208, L"Code 128", {15, 66, 47, 10}},
    {209, L"Code 16K", {15, 80, 50, 10}},
    {211, L"Plessey", {95, 66, 50, 10}},
    {206, L"Code 11", {15, 10, 40, 10}},
    {212, L"MSI", {95, 38, 50, 10}},
    {213, L"PDF 417", {95, 52, 50, 10}},
    {217, L"D 2 of 5", {175, 10, 41, 10}},
    {218, L"Telepen", {175, 25, 42, 10}},
    {222, L"Non-standard AIM Symbology", {95, 80, 109, 10}},
};

struct PageLayout {
    const CLSID* clsid;
    const wchar_t* title;
    const Box* boxes;
    size_t count;
};

const PageLayout kPages[] = {
    {&CLSID_BarCodePropPage, L"Bar Code", kBarCodeBoxes, std::size(kBarCodeBoxes)},
    {&CLSID_BarCodeGridPropPage, L"DD Grid", kGridBoxes, std::size(kGridBoxes)},
};

std::wstring Text(HWND window) {
    wchar_t text[128] = {};
    ::GetWindowTextW(window, text, 128);
    return text;
}

// The dialog manager's pixels for a box in the page's dialog units: its
// position, and its width and height (each converted on its own).
RECT Pixels(HWND page, const RECT& units) {
    RECT r = units;
    ::MapDialogRect(page, &r);
    return r;
}

RECT PlaceInParent(HWND child) {
    RECT r = {};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

using PageFrame = BarcodeTest;

TEST_F(PageFrame, TheControlOffersTheBarCodePageThenTheGridPage) {
    auto control = NewControl();
    auto specify = control.as<ISpecifyPropertyPages>();
    ASSERT_TRUE(specify);
    CAUUID pages = {};
    ASSERT_EQ(specify->GetPages(&pages), S_OK);
    ASSERT_EQ(pages.cElems, 2u);
    EXPECT_EQ(pages.pElems[0], CLSID_BarCodePropPage);
    EXPECT_EQ(pages.pElems[1], CLSID_BarCodeGridPropPage);
    ::CoTaskMemFree(pages.pElems);
}

TEST_F(PageFrame, PageInformationComesFromTheStringTableAndTheTemplateSize) {
    for (const PageLayout& layout : kPages) {
        PageDriver page(*layout.clsid);
        PROPPAGEINFO info = {};
        ASSERT_EQ(page.Page()->GetPageInfo(&info), S_OK);
        EXPECT_EQ(info.cb, sizeof(PROPPAGEINFO));
        EXPECT_STREQ(info.pszTitle, layout.title);
        EXPECT_STREQ(info.pszHelpFile, L"Help File Name");
        EXPECT_STREQ(info.pszDocString, L"Your Help String");
        EXPECT_EQ(info.dwHelpContext, 0u);
        ASSERT_EQ(page.Activate(), S_OK);
        // 271 x 105 dialog units, as the dialog manager lays out the page.
        const RECT size = Pixels(page.Window(), {0, 0, 271, 105});
        EXPECT_EQ(info.size.cx, size.right) << layout.title;
        EXPECT_EQ(info.size.cy, size.bottom) << layout.title;
        EXPECT_GT(info.size.cx, 271);
        ::CoTaskMemFree(info.pszTitle);
        ::CoTaskMemFree(info.pszHelpFile);
        ::CoTaskMemFree(info.pszDocString);
    }
}

TEST_F(PageFrame, EachPageIsAChildDialogOfAutomaticCheckBoxesOnly) {
    for (const PageLayout& layout : kPages) {
        PageDriver page(*layout.clsid);
        ASSERT_EQ(page.Activate(), S_OK);
        HWND window = page.Window();
        ASSERT_NE(window, nullptr);
        const LONG style = ::GetWindowLongW(window, GWL_STYLE);
        EXPECT_NE(style & WS_CHILD, 0) << layout.title;
        EXPECT_EQ(style & WS_VISIBLE, 0) << "hidden until shown";
        EXPECT_EQ(PlaceInParent(window).left, 8) << "at the frame's rectangle";
        HFONT font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
        LOGFONTW logFont = {};
        ASSERT_NE(::GetObjectW(font, sizeof logFont, &logFont), 0);
        EXPECT_STREQ(logFont.lfFaceName, L"MS Sans Serif");

        size_t children = 0;
        for (HWND c = ::GetWindow(window, GW_CHILD); c != nullptr;
             c = ::GetWindow(c, GW_HWNDNEXT)) {
            ++children;
        }
        EXPECT_EQ(children, layout.count) << layout.title;
        for (size_t i = 0; i < layout.count; ++i) {
            const Box& box = layout.boxes[i];
            HWND button = page.Box(box.id);
            ASSERT_NE(button, nullptr) << box.id;
            EXPECT_EQ(Text(button), box.text) << box.id;
            const LONG s = ::GetWindowLongW(button, GWL_STYLE);
            EXPECT_EQ(s & BS_TYPEMASK, BS_AUTOCHECKBOX) << box.id;
            EXPECT_NE(s & WS_TABSTOP, 0) << box.id;
            EXPECT_NE(s & WS_VISIBLE, 0) << box.id;
            const RECT expected = Pixels(window, box.units);
            const RECT actual = PlaceInParent(button);
            EXPECT_EQ(actual.left, expected.left) << box.id;
            EXPECT_EQ(actual.top, expected.top) << box.id;
            EXPECT_EQ(actual.right - actual.left, expected.right) << box.id;
            EXPECT_EQ(actual.bottom - actual.top, expected.bottom) << box.id;
        }
    }
}

TEST_F(PageFrame, APageFollowsTheFramesProtocol) {
    auto control = NewControl();
    PageDriver page(CLSID_BarCodePropPage);
    IPropertyPage2* p = page.Page();
    EXPECT_EQ(p->SetPageSite(page.Site()), E_UNEXPECTED) << "one site at a time";
    EXPECT_EQ(p->SetObjects(1, nullptr), E_POINTER);
    ASSERT_EQ(page.Select({control.get()}), S_OK);
    EXPECT_EQ(p->Show(SW_SHOW), E_UNEXPECTED) << "no window before Activate";
    RECT r = {0, 0, 100, 100};
    EXPECT_EQ(p->Move(&r), E_UNEXPECTED);
    EXPECT_EQ(p->Activate(page.Parent(), nullptr, TRUE), E_POINTER);
    ASSERT_EQ(page.Activate(), S_OK);
    EXPECT_EQ(page.Activate(), E_UNEXPECTED) << "already active";
    ASSERT_EQ(page.Show(), S_OK);
    RECT moved = {20, 30, 300, 200};
    ASSERT_EQ(p->Move(&moved), S_OK);
    const RECT place = PlaceInParent(page.Window());
    EXPECT_EQ(place.left, 20);
    EXPECT_EQ(place.bottom, 200);
    EXPECT_EQ(p->EditProperty(7), E_NOTIMPL);

    ASSERT_EQ(p->Deactivate(), S_OK);
    EXPECT_EQ(page.Window(), nullptr) << "the window goes with Deactivate";
    ASSERT_EQ(page.Activate(), S_OK) << "and comes back with the next Activate";
    ASSERT_EQ(page.Show(), S_OK);
    EXPECT_TRUE(page.Checked(IDC_AUTO_BEEP));
}

TEST_F(PageFrame, AClickMakesThePageDirtyUntilItIsApplied) {
    auto control = NewControl();
    PageDriver page(CLSID_BarCodePropPage);
    ASSERT_EQ(page.Select({control.get()}), S_OK);
    ASSERT_EQ(page.Activate(), S_OK);
    ASSERT_EQ(page.Show(), S_OK);
    EXPECT_EQ(page.Page()->IsPageDirty(), S_FALSE);
    EXPECT_TRUE(page.Site()->StatusChanges().empty()) << "showing changes nothing";

    page.Click(IDC_AUTO_BEEP);
    EXPECT_EQ(page.Page()->IsPageDirty(), S_OK);
    ASSERT_EQ(page.Site()->StatusChanges().size(), 1u);
    EXPECT_NE(page.Site()->StatusChanges()[0] & PROPPAGESTATUS_DIRTY, 0u);
    page.Click(IDC_TRIGGER_ENABLE);
    EXPECT_EQ(page.Site()->StatusChanges().size(), 1u) << "the frame is told once";

    // Hidden and shown again (another tab was looked at): the changes stay.
    ASSERT_EQ(page.Show(SW_HIDE), S_OK);
    ASSERT_EQ(page.Show(), S_OK);
    EXPECT_FALSE(page.Checked(IDC_AUTO_BEEP));
    EXPECT_FALSE(page.Checked(IDC_TRIGGER_ENABLE));

    ASSERT_EQ(page.Apply(), S_OK);
    EXPECT_EQ(page.Page()->IsPageDirty(), S_FALSE);
    VARIANT_BOOL beep = VARIANT_TRUE;
    ASSERT_EQ(control->get_AutoBeep(&beep), S_OK);
    EXPECT_EQ(beep, VARIANT_FALSE);
    // Clean again: the next showing reads the control.
    ASSERT_EQ(control->put_AutoBeep(VARIANT_TRUE), S_OK);
    ASSERT_EQ(page.Show(), S_OK);
    EXPECT_TRUE(page.Checked(IDC_AUTO_BEEP));
}

TEST_F(PageFrame, APageLetsItsObjectsGo) {
    auto control = NewControl();
    {
        PageDriver page(CLSID_BarCodePropPage);
        ASSERT_EQ(page.Select({control.get()}), S_OK);
        ASSERT_EQ(page.Activate(), S_OK);
        ASSERT_EQ(page.Show(), S_OK);
        control->AddRef();
        const ULONG held = control->Release();
        ASSERT_EQ(page.Page()->SetObjects(0, nullptr), S_OK);
        control->AddRef();
        EXPECT_EQ(control->Release(), held - 1);
        EXPECT_EQ(page.Show(), S_OK) << "nothing selected, nothing to load";
    }
}

// --- The system's property frame ---

struct FrameCheck {
    std::vector<std::wstring> tabs;
    bool barCodeBoxSeen = false;
    bool gridBoxSeen = false;
    int ticks = 0;
    bool gaveUp = false;
    HWND sheet = nullptr;
    int heldPages = 0;
};
FrameCheck* g_frame = nullptr;

// While the frame is held open: the first page, then the second, then Cancel.
void CALLBACK NextHeldPage(HWND, UINT, UINT_PTR timer, DWORD) {
    if (g_frame->heldPages++ == 0) {
        ::SendMessageW(g_frame->sheet, PSM_SETCURSEL, 1, 0);
        return;
    }
    ::KillTimer(nullptr, timer);
    ::PostMessageW(g_frame->sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

struct TextSearch {
    const wchar_t* text;
    HWND found;
};

BOOL CALLBACK MatchText(HWND child, LPARAM lParam) {
    auto* search = reinterpret_cast<TextSearch*>(lParam);
    if (Text(child) == search->text && ::IsWindowVisible(child)) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

HWND FindChildWithText(HWND parent, const wchar_t* text) {
    TextSearch search = {text, nullptr};
    ::EnumChildWindows(parent, &MatchText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK FindSheet(HWND window, LPARAM lParam) {
    if (::IsWindowVisible(window) && ::FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr)) {
        *reinterpret_cast<HWND*>(lParam) = window;
        return FALSE;
    }
    return TRUE;
}

// Runs inside the frame's modal loop: looks at both pages, then cancels.
void CALLBACK InspectFrame(HWND, UINT, UINT_PTR timer, DWORD) {
    FrameCheck& check = *g_frame;
    HWND sheet = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindSheet, reinterpret_cast<LPARAM>(&sheet));
    if (sheet == nullptr) {
        if (++check.ticks > 200) {
            check.gaveUp = true;
            ::KillTimer(nullptr, timer);
        }
        return;
    }
    HWND tabs = ::FindWindowExW(sheet, nullptr, WC_TABCONTROLW, nullptr);
    if (check.tabs.empty()) {
        const int count = static_cast<int>(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[64] = {};
            TCITEMW item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = 64;
            ::SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
            check.tabs.push_back(text);
        }
        check.barCodeBoxSeen = FindChildWithText(sheet, L"Auto Good Read LED") != nullptr;
        ::SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
        return;
    }
    check.gridBoxSeen = FindChildWithText(sheet, L"Non-standard AIM Symbology") != nullptr;
    ::KillTimer(nullptr, timer);
    check.sheet = sheet;
    // Held open on request, each page for the time given, so that a person
    // (or a screenshot) can look at the frame.
    wchar_t hold[16] = {};
    if (::GetEnvironmentVariableW(L"PROPERTY_FRAME_HOLD_MS", hold, 16) > 0) {
        ::SendMessageW(sheet, PSM_SETCURSEL, 0, 0);
        ::SetTimer(nullptr, 0, static_cast<UINT>(_wtoi(hold)), &NextHeldPage);
        return;
    }
    ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

TEST_F(PageFrame, TheSystemsPropertyFrameShowsBothPages) {
    auto control = NewControl();
    auto specify = control.as<ISpecifyPropertyPages>();
    ASSERT_TRUE(specify);
    CAUUID pages = {};
    ASSERT_EQ(specify->GetPages(&pages), S_OK);
    FrameCheck check;
    g_frame = &check;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &InspectFrame);
    ASSERT_NE(timer, 0u);
    IUnknown* objects[] = {control.get()};
    const HRESULT hr =
        ::OleCreatePropertyFrame(nullptr, 0, 0, L"HVTAXBarCode", 1, objects, pages.cElems,
                                 pages.pElems, ::GetUserDefaultLCID(), 0, nullptr);
    ::KillTimer(nullptr, timer);
    g_frame = nullptr;
    ::CoTaskMemFree(pages.pElems);
    EXPECT_EQ(hr, S_OK);
    EXPECT_FALSE(check.gaveUp) << "no frame appeared";
    EXPECT_EQ(check.tabs, (std::vector<std::wstring>{L"Bar Code", L"DD Grid"}));
    EXPECT_TRUE(check.barCodeBoxSeen);
    EXPECT_TRUE(check.gridBoxSeen);
}

} // namespace
