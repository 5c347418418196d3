// The registry and type library entries a script and a form designer find.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testsupport/registry_checks.h"

#include "barcode_fixture.h"
#include "common/com.h"
#include "common/handle.h"

namespace {

using testsupport::DocString;
bool KeyExists(const std::wstring& path) {
    return testsupport::ClassesKeyExists(path);
}
std::wstring Value(const std::wstring& path, const wchar_t* name = nullptr) {
    return testsupport::ClassesValue(path, name);
}
std::wstring ModulePath() {
    return testsupport::LoadedModulePath(L"HVTAXBarCodeReader.dll");
}

const wchar_t kClassKey[] = L"CLSID\\{5131CE74-0E05-45EF-9C5E-79187B796C03}";

class Registration : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(RegisterBarcodeServers(), S_OK); }
    common::ComApartment apartment_;
};

TEST_F(Registration, ProgIdsAndClassKeyOfAControlInvisibleAtRunTime) {
    EXPECT_EQ(Value(L"Harvanti.HVTAXBarCode.1"), L"HVTAXBarCode Class");
    EXPECT_EQ(Value(L"Harvanti.HVTAXBarCode"), L"HVTAXBarCode Class");
    testsupport::ExpectProgIds(kClassKey, L"Harvanti.HVTAXBarCode.1", L"Harvanti.HVTAXBarCode");

    const std::wstring cls = kClassKey;
    EXPECT_EQ(Value(cls), L"HVTAXBarCode Class");
    EXPECT_TRUE(KeyExists(cls + L"\\Programmable"));
    EXPECT_TRUE(KeyExists(cls + L"\\Control"));
    EXPECT_TRUE(KeyExists(cls + L"\\Insertable"));
    EXPECT_EQ(Value(cls + L"\\InprocServer32"), ModulePath());
    EXPECT_EQ(Value(cls + L"\\InprocServer32", L"ThreadingModel"), L"Single");
    EXPECT_EQ(Value(cls + L"\\ToolboxBitmap32"), ModulePath() + L", 101");
    EXPECT_EQ(Value(cls + L"\\MiscStatus"), L"0");
    EXPECT_EQ(Value(cls + L"\\MiscStatus\\1"), L"132497");
    EXPECT_EQ(Value(cls + L"\\Version"), L"1.0");

    HMODULE module = ::GetModuleHandleW(L"HVTAXBarCodeReader.dll");
    common::UniqueGdiObject bitmap(::LoadBitmapW(module, MAKEINTRESOURCEW(101)));
    EXPECT_TRUE(bitmap.valid());
    wchar_t project[64] = {};
    ::LoadStringW(module, 100, project, 64);
    EXPECT_STREQ(project, L"HVTAXBarCodeReader");
}

TEST_F(Registration, TypeLibraryDescribesTheInterfaceItsSlotsAndTheEvent) {
    common::ComPtr<ITypeLib> loaded = testsupport::RegisteredTypeLib(kClassKey);
    ASSERT_TRUE(loaded);
    common::UniqueBstr name;
    common::UniqueBstr doc;
    ASSERT_EQ(loaded->GetDocumentation(-1, name.put(), doc.put(), nullptr, nullptr), S_OK);
    EXPECT_EQ(name.view(), L"HVTAXBARCODEREADERLib");
    EXPECT_EQ(doc.view(), L"HVTAXBarCodeReader 1.0 Type Library");

    common::ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(loaded->GetTypeInfoOfGuid(CLSID_HVTAXBarCode, coclass.put()), S_OK);
    EXPECT_EQ(DocString(coclass.get(), MEMBERID_NIL), L"HVTAXBarCode Class");

    common::ComPtr<ITypeInfo> events;
    ASSERT_EQ(loaded->GetTypeInfoOfGuid(DIID__IHVTAXBarCodeEvents, events.put()), S_OK);
    EXPECT_EQ(DocString(events.get(), MEMBERID_NIL), L"_IHVTAXBarCodeEvents Interface");
    EXPECT_EQ(DocString(events.get(), 1), L"method CompleteRead");
    BSTR names[6] = {};
    UINT count = 0;
    ASSERT_EQ(events->GetNames(1, names, 6, &count), S_OK);
    const wchar_t* expected[] = {L"CompleteRead", L"lStatus",   L"pData",
                                 L"eSymbology",   L"eDataType", L"stDate"};
    ASSERT_EQ(count, 6u);
    for (UINT i = 0; i < count; ++i) {
        EXPECT_STREQ(names[i], expected[i]);
        ::SysFreeString(names[i]);
    }

    common::ComPtr<ITypeInfo> dual;
    ASSERT_EQ(loaded->GetTypeInfoOfGuid(IID_IHVTAXBarCode, dual.put()), S_OK);
    EXPECT_EQ(DocString(dual.get(), MEMBERID_NIL), L"IHVTAXBarCode Interface");
    struct Member {
        const wchar_t* name;
        MEMBERID id;
        const wchar_t* kind;
    };
    // In slot order after IDispatch.
    const Member members[] = {
        {L"DeviceName", 1, L"property "},
        {L"ReadAhead", 2, L"property "},
        {L"AutoGoodReadLED", 5, L"property "},
        {L"AutoDataValidLED", 6, L"property "},
        {L"AutoBeep", 7, L"property "},
        {L"ConvertDataToUnicode", 10, L"property "},
        {L"FlushDataOnGridChange", 8, L"property "},
        {L"TriggerEnable", 9, L"property "},
        {L"ControlScanner", 15, L"method "},
        {L"ControlLaserPower", 14, L"method "},
        {L"ControlGoodReadLED", 12, L"method "},
        {L"ControlDataValidLED", 13, L"method "},
        {L"IssueBeeps", 16, L"method "},
        {L"Initialize", 11, L"method "},
        {L"PostRead", 17, L"method "},
        {L"DeviceDependentGrid", 4, L"property "},
        {L"DeviceIndependentGrid", 3, L"property "},
        {L"QueryData", 18, L"method "},
        {L"Unload", 19, L"method "},
    };
    // Each help string is the member's kind and name.
    std::vector<testsupport::DescribedMember> described;
    for (const Member& member : members) {
        described.push_back({member.name, member.id, std::wstring(member.kind) + member.name});
    }
    testsupport::ExpectMembers(dual.get(), described);
    // The vtable: DeviceName's get is the first slot after IDispatch, Unload the last.
    HREFTYPE ref = 0;
    ASSERT_EQ(dual->GetRefTypeOfImplType(-1, &ref), S_OK);
    common::ComPtr<ITypeInfo> vtable;
    ASSERT_EQ(dual->GetRefTypeInfo(ref, vtable.put()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(vtable->GetTypeAttr(&attributes), S_OK);
    const WORD functions = attributes->cFuncs;
    vtable->ReleaseTypeAttr(attributes);
    ASSERT_EQ(functions, 29);
    FUNCDESC* first = nullptr;
    ASSERT_EQ(vtable->GetFuncDesc(0, &first), S_OK);
    EXPECT_EQ(first->memid, 1);
    EXPECT_EQ(first->oVft, static_cast<SHORT>(7 * sizeof(void*)));
    vtable->ReleaseFuncDesc(first);
    FUNCDESC* last = nullptr;
    ASSERT_EQ(vtable->GetFuncDesc(functions - 1, &last), S_OK);
    EXPECT_EQ(last->memid, 19);
    EXPECT_EQ(last->oVft, static_cast<SHORT>((7 + 28) * sizeof(void*)));
    vtable->ReleaseFuncDesc(last);
}

TEST_F(Registration, BothPropertyPagesAreProgrammableSingleThreadedClasses) {
    struct Page {
        const wchar_t* name;
        const wchar_t* clsid;
        const CLSID* id;
    };
    const Page pages[] = {
        {L"BarCodePropPage", L"{01A248FB-CF42-4702-BF7C-0D2101B5A44B}", &CLSID_BarCodePropPage},
        {L"BarCodeGridPropPage", L"{E77D8BA4-1F94-4C6C-BAA1-236A164925E8}",
         &CLSID_BarCodeGridPropPage},
    };
    common::ComPtr<ITypeLib> library = testsupport::RegisteredTypeLib(kClassKey);
    ASSERT_TRUE(library);
    for (const Page& page : pages) {
        const std::wstring progId = std::wstring(L"Harvanti.") + page.name;
        const std::wstring title = std::wstring(page.name) + L" Class";
        EXPECT_EQ(Value(progId + L".1"), title);
        EXPECT_EQ(Value(progId), title);
        const std::wstring cls = std::wstring(L"CLSID\\") + page.clsid;
        testsupport::ExpectProgIds(cls, progId + L".1", progId);
        EXPECT_EQ(Value(cls), title);
        EXPECT_TRUE(KeyExists(cls + L"\\Programmable"));
        EXPECT_FALSE(KeyExists(cls + L"\\Control")) << "a page is no control";
        EXPECT_EQ(Value(cls + L"\\InprocServer32"), ModulePath());
        EXPECT_EQ(Value(cls + L"\\InprocServer32", L"ThreadingModel"), L"Single");

        CLSID found = {};
        EXPECT_EQ(::CLSIDFromProgID(progId.c_str(), &found), S_OK);
        EXPECT_EQ(found, *page.id);
        common::ComPtr<ITypeInfo> coclass;
        ASSERT_EQ(library->GetTypeInfoOfGuid(*page.id, coclass.put()), S_OK) << page.name;
        EXPECT_EQ(DocString(coclass.get(), MEMBERID_NIL), title);
        common::ComPtr<IPropertyPage> created;
        EXPECT_EQ(::CoCreateInstance(*page.id, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                     created.put_void()),
                  S_OK)
            << page.name;
    }
}

} // namespace
