// What a script and a form designer find: the registry, the type library,
// the interfaces of the control object and its safety for scripting.
#include <windows.h>
#include <objsafe.h>
#include <ocidl.h>

#include <string>

#include <gtest/gtest.h>

#include "common/handle.h"
#include "grid_fixture.h"
#include "testsupport/registry_checks.h"

namespace {

using testsupport::ClassesKeyExists;
using testsupport::ClassesValue;
using testsupport::DocString;

const wchar_t kClassKey[] = L"CLSID\\{B0021C76-6AB8-41DF-A4E1-E259C5012454}";

std::wstring ModulePath() {
    return testsupport::LoadedModulePath(L"Listora.dll");
}

using Registration = GridTest;

TEST_F(Registration, ProgIdsAndClassKeyAsAnApartmentControlThatCanBeInserted) {
    EXPECT_EQ(ClassesValue(L"Listora.Listora.1"), L"Listora Object");
    testsupport::ExpectProgIds(kClassKey, L"Listora.Listora.1", L"Listora.Listora");
    const std::wstring cls = kClassKey;
    EXPECT_TRUE(ClassesKeyExists(cls + L"\\Programmable"));
    EXPECT_TRUE(ClassesKeyExists(cls + L"\\Control"));
    EXPECT_TRUE(ClassesKeyExists(cls + L"\\Insertable"));
    EXPECT_EQ(ClassesValue(cls + L"\\InprocServer32"), ModulePath());
    EXPECT_EQ(ClassesValue(cls + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(ClassesValue(cls + L"\\ToolboxBitmap32"), ModulePath() + L", 102");
    EXPECT_EQ(ClassesValue(cls + L"\\MiscStatus"), L"0");
    EXPECT_EQ(ClassesValue(cls + L"\\MiscStatus\\1"), L"131473");
    common::UniqueGdiObject bitmap(
        ::LoadBitmapW(::GetModuleHandleW(L"Listora.dll"), MAKEINTRESOURCEW(102)));
    EXPECT_TRUE(bitmap.valid());
}

TEST_F(Registration, TypeLibraryNamesEveryMemberWithItsNumberAndHelp) {
    common::ComPtr<ITypeLib> loaded = testsupport::RegisteredTypeLib(kClassKey);
    ASSERT_TRUE(loaded);
    common::UniqueBstr name;
    ASSERT_EQ(loaded->GetDocumentation(-1, name.put(), nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(name.view(), L"Listora");
    common::ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(loaded->GetTypeInfoOfGuid(CLSID_Listora, coclass.put()), S_OK);
    EXPECT_EQ(DocString(coclass.get(), MEMBERID_NIL), L"Listora Object");

    common::ComPtr<ITypeInfo> dual;
    ASSERT_EQ(loaded->GetTypeInfoOfGuid(IID_IListora, dual.put()), S_OK);
    EXPECT_EQ(DocString(dual.get(), MEMBERID_NIL), L"IListora Interface");
    const testsupport::DescribedMember members[] = {
        {L"AboutBox", -552, L"Displays the About box."},
        {L"Refresh", -550, L"Repaints the entire control."},
        {L"Enabled", -514, L"Returns/sets whether or not the control is enabled."},
        {L"RowCount", 1, L"Returns/sets the number of rows."},
        {L"ColumnCount", 2, L"Returns/sets the number of columns."},
        {L"ColumnAlignment", 3, L"Returns/sets the specified column's alignment."},
        {L"ColumnHeader", 4, L"Returns/sets the specified column's header."},
        {L"ColumnWidth", 5, L"Returns/sets the specified column's width."},
        {L"Selection", 6, L"Returns/sets the index of the currently selected row."},
        {L"ShowHeaders", 7, L"Returns/sets whether or not to show headers."},
        {L"ShowCheckboxes", 8, L"Returns/sets whether or not to show checkboxes."},
        {L"HideSelection", 9, L"Returns/sets whether or not to hide the selection when inactive."},
        {L"ItemFontName", 10, L"Returns/sets the item font name."},
        {L"ItemFontSize", 11, L"Returns/sets the item font size."},
        {L"ItemFontBold", 12, L"Returns/sets the item font bold attribute."},
        {L"ItemFontItalic", 13, L"Returns/sets the item font italic attribute."},
        {L"ItemBackColor", 14, L"Returns/sets the item background color."},
        {L"ItemForeColor", 15, L"Returns/sets the item foreground color."},
        {L"HeaderFontName", 16, L"Returns/sets the header font name."},
        {L"HeaderFontSize", 17, L"Returns/sets the header font size."},
        {L"HeaderFontBold", 18, L"Returns/sets the header font bold attribute."},
        {L"HeaderFontItalic", 19, L"Returns/sets the header font italic attribute."},
        {L"HeaderBackColor", 20, L"Returns/sets the header background color."},
        {L"HeaderForeColor", 21, L"Returns/sets the header foreground color."},
        {L"SortArrowColumn", 22, L"Returns/sets the sort arrow column number."},
        {L"FirstVisibleRow", 23, L"Returns the index of the first visible row."},
        {L"RowsPerPage", 24, L"Returns the number of rows per page."},
        {L"Repaint", 25, L"Repaints the entire control."},
        {L"RedrawRange", 26, L"Redraws the specified range of rows."},
        {L"ContextMenu", 27, L"Returns/sets whether or not the control has a context menu."},
    };
    testsupport::ExpectMembers(dual.get(), members);

    common::ComPtr<ITypeInfo> events;
    ASSERT_EQ(loaded->GetTypeInfoOfGuid(DIID_IListoraEvents, events.put()), S_OK);
    const std::pair<const wchar_t*, MEMBERID> eventIds[] = {
        {L"Click", -600},        {L"DblClick", -601},     {L"MouseDown", -605},
        {L"MouseMove", -606},    {L"MouseUp", -607},      {L"KeyDown", -602},
        {L"KeyUp", -604},        {L"KeyPress", -603},     {L"GetItemText", 1},
        {L"GetRowState", 2},     {L"ItemClick", 3},       {L"HeaderClick", 4},
        {L"SelectionChange", 5}, {L"ShowContextMenu", 6},
    };
    for (const auto& [eventName, eventId] : eventIds) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(eventName)};
        MEMBERID id = MEMBERID_NIL;
        ASSERT_EQ(events->GetIDsOfNames(names, 1, &id), S_OK) << eventName;
        EXPECT_EQ(id, eventId) << eventName;
    }
}

TEST_F(Registration, ControlObjectOffersTheEmbeddingInterfacesAndItsTwoConnectionPoints) {
    Activate();
    const IID* offered[] = {
        &IID_IDispatch,
        &IID_IListora,
        &IID_IOleObject,
        &IID_IOleControl,
        &IID_IOleInPlaceObject,
        &IID_IOleInPlaceObjectWindowless,
        &IID_IOleInPlaceActiveObject,
        &IID_IViewObject,
        &IID_IViewObject2,
        &IID_IViewObjectEx,
        &IID_IQuickActivate,
        &IID_IDataObject,
        &IID_IProvideClassInfo,
        &IID_IProvideClassInfo2,
        &IID_IPersistStorage,
        &IID_IPersistStreamInit,
        &IID_IPersistPropertyBag,
        &IID_IConnectionPointContainer,
        &IID_IObjectSafety,
        &IID_ISupportErrorInfo,
    };
    for (const IID* iid : offered) {
        common::ComPtr<IUnknown> found;
        EXPECT_EQ(container_.Control()->QueryInterface(*iid, found.put_void()), S_OK);
    }
    // Windowless in name only: the control has its own window all the same.
    auto windowless = container_.As<IOleInPlaceObjectWindowless>();
    HWND window = nullptr;
    ASSERT_EQ(windowless->GetWindow(&window), S_OK);
    EXPECT_EQ(window, container_.ControlWindow());
    EXPECT_NE(window, nullptr);
    LRESULT result = -1;
    EXPECT_EQ(windowless->OnWindowMessage(WM_USER + 77, 0, 0, &result), S_FALSE);

    auto classInfo = container_.As<IProvideClassInfo2>();
    GUID source = {};
    ASSERT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    EXPECT_EQ(source, DIID_IListoraEvents);
    EXPECT_EQ(container_.As<ISupportErrorInfo>()->InterfaceSupportsErrorInfo(IID_IListora), S_OK);

    auto points = container_.As<IConnectionPointContainer>();
    common::ComPtr<IEnumConnectionPoints> list;
    ASSERT_EQ(points->EnumConnectionPoints(list.put()), S_OK);
    int count = 0;
    IConnectionPoint* point = nullptr;
    while (list->Next(1, &point, nullptr) == S_OK) {
        ++count;
        point->Release();
    }
    EXPECT_EQ(count, 2);
}

TEST_F(Registration, SafeForScriptingOnEveryInterfaceItHasAndNoOther) {
    Activate();
    auto safety =
        container_.Control()
            ? common::ComPtr<IUnknown>(container_.Control()).as<IObjectSafety>(IID_IObjectSafety)
            : nullptr;
    ASSERT_TRUE(safety);
    DWORD supported = 0;
    DWORD enabled = 0;
    ASSERT_EQ(safety->GetInterfaceSafetyOptions(IID_IPersistPropertyBag, &supported, &enabled),
              S_OK);
    EXPECT_EQ(supported, 3u);
    EXPECT_EQ(enabled, 3u);
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IPersistFile, &supported, &enabled),
              E_NOINTERFACE);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, 3, 1), S_OK);
    ASSERT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
    EXPECT_EQ(enabled, 1u);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, 4, 4), E_FAIL);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IPersistFile, 1, 1), E_NOINTERFACE);
}

} // namespace
