// The registry and type library entries a script and a form designer find.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "testsupport/registry_checks.h"

#include "common/com.h"
#include "common/handle.h"
#include "progress_server.h"

namespace {

using testsupport::DocString;
bool KeyExists(const std::wstring& path) {
    return testsupport::ClassesKeyExists(path);
}
std::wstring Value(const std::wstring& path, const wchar_t* name = nullptr) {
    return testsupport::ClassesValue(path, name);
}
std::wstring ModulePath() {
    return testsupport::LoadedModulePath(L"qzpeProgressBar.dll");
}

const wchar_t kClassKey[] = L"CLSID\\{ADE84D68-BDF5-4913-B7A5-8917DFAD68EC}";

class Registration : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(RegisterProgressServer(), S_OK); }
    common::ComApartment apartment_;
};

TEST_F(Registration, ProgIdsAndClassKeyAsAControlThatCanBeInserted) {
    EXPECT_EQ(Value(L"QzpeProgressBar.ProgressBar.1"), L"ProgressBar Class");
    EXPECT_EQ(Value(L"QzpeProgressBar.ProgressBar"), L"ProgressBar Class");
    testsupport::ExpectProgIds(kClassKey, L"QzpeProgressBar.ProgressBar.1",
                               L"QzpeProgressBar.ProgressBar");

    const std::wstring cls = kClassKey;
    EXPECT_EQ(Value(cls), L"ProgressBar Class");
    EXPECT_TRUE(KeyExists(cls + L"\\Programmable"));
    EXPECT_TRUE(KeyExists(cls + L"\\Control"));
    EXPECT_TRUE(KeyExists(cls + L"\\Insertable"));
    EXPECT_EQ(Value(cls + L"\\InprocServer32"), ModulePath());
    EXPECT_EQ(Value(cls + L"\\ToolboxBitmap32"), ModulePath() + L", 101");
    EXPECT_EQ(Value(cls + L"\\MiscStatus"), L"0");
    EXPECT_EQ(Value(cls + L"\\MiscStatus\\1"), L"131473");
    EXPECT_EQ(Value(cls + L"\\Version"), L"1.0");

    // The toolbox bitmap is there to be loaded.
    common::UniqueGdiObject bitmap(
        ::LoadBitmapW(::GetModuleHandleW(L"qzpeProgressBar.dll"), MAKEINTRESOURCEW(101)));
    EXPECT_TRUE(bitmap.valid());
}

TEST_F(Registration, TypeLibraryDescribesClassInterfacesAndMembers) {
    common::ComPtr<ITypeLib> loaded = testsupport::RegisteredTypeLib(kClassKey);
    ASSERT_TRUE(loaded);
    common::UniqueBstr name;
    common::UniqueBstr doc;
    ASSERT_EQ(loaded->GetDocumentation(-1, name.put(), doc.put(), nullptr, nullptr), S_OK);
    EXPECT_EQ(name.view(), L"QZPEPROGRESSBARLib");
    EXPECT_EQ(doc.view(), L"qzpeProgressBar 1.0 Type Library");

    common::ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(loaded->GetTypeInfoOfGuid(CLSID_ProgressBar, coclass.put()), S_OK);
    EXPECT_EQ(DocString(coclass.get(), MEMBERID_NIL), L"ProgressBar Class");
    common::ComPtr<ITypeInfo> events;
    ASSERT_EQ(loaded->GetTypeInfoOfGuid(DIID__IProgressBarEvents, events.put()), S_OK);
    EXPECT_EQ(DocString(events.get(), MEMBERID_NIL), L"_IProgressBarEvents Interface");
    TYPEATTR* attributes = nullptr;
    events->GetTypeAttr(&attributes);
    EXPECT_EQ(attributes->cFuncs, 0) << "the control raises no events";
    events->ReleaseTypeAttr(attributes);

    common::ComPtr<ITypeInfo> dual;
    ASSERT_EQ(loaded->GetTypeInfoOfGuid(IID_IProgressBar, dual.put()), S_OK);
    EXPECT_EQ(DocString(dual.get(), MEMBERID_NIL), L"IProgressBar Interface");
    const testsupport::DescribedMember members[] = {
        {L"Version", 1, L"Version of Software"},
        {L"Visible", 2, L"Returns/Sets whether or not control is Visible"},
        {L"SetRange", 3, L"Sets Min/Max values for ProgressBar"},
        {L"Value", 4, L"property Value"},
        {L"Min", 5, L"Returns/Sets the Minimum value"},
        {L"Max", 6, L"Returns/Sets the Maximum value"},
        {L"Scrolling", 7, L"property Scrolling"},
        {L"Hwnd", 8, L"Returns Hwnd of Progress Control"},
        {L"Border", 9, L"property Border"},
    };
    testsupport::ExpectMembers(dual.get(), members);
}

TEST_F(Registration, UnregisterRemovesTheKeysAndRegisterPutsThemBack) {
    const std::wstring libraryKey = L"TypeLib\\" + Value(std::wstring(kClassKey) + L"\\TypeLib");
    ASSERT_EQ(UnregisterProgressServer(), S_OK);
    EXPECT_FALSE(KeyExists(L"QzpeProgressBar.ProgressBar.1"));
    EXPECT_FALSE(KeyExists(L"QzpeProgressBar.ProgressBar"));
    EXPECT_FALSE(KeyExists(kClassKey));
    EXPECT_FALSE(KeyExists(libraryKey));
    ASSERT_EQ(RegisterProgressServer(), S_OK);
    EXPECT_TRUE(KeyExists(kClassKey));
    EXPECT_TRUE(KeyExists(libraryKey));
}

} // namespace
