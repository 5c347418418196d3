// The registry and type library entries a script and a form designer find.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "common/com.h"
#include "common/handle.h"
#include "entries_fixture.h"
#include "testsupport/registry_checks.h"

namespace {

using testsupport::ClassesKeyExists;
using testsupport::ClassesValue;

const wchar_t kClassKey[] = L"CLSID\\{DB486A9C-595B-4954-A653-EF8EB3181369}";

TEST(Registration, AnInsertableControlInvisibleAtRunTimeWithItsVerb) {
    common::ComApartment apartment;
    ASSERT_EQ(RegisterEntroviaServer(), S_OK);
    const std::wstring module = testsupport::LoadedModulePath(L"Entrovia.dll");
    testsupport::ExpectProgIds(kClassKey, L"Entrovia.RASEntries.1", L"Entrovia.RASEntries");
    EXPECT_TRUE(ClassesKeyExists(L"Entrovia.RASEntries.1\\Insertable"));
    const std::wstring cls = kClassKey;
    EXPECT_TRUE(ClassesKeyExists(cls + L"\\Programmable"));
    EXPECT_TRUE(ClassesKeyExists(cls + L"\\Control"));
    EXPECT_TRUE(ClassesKeyExists(cls + L"\\Insertable"));
    EXPECT_EQ(ClassesValue(cls + L"\\InprocServer32"), module);
    EXPECT_EQ(ClassesValue(cls + L"\\ToolboxBitmap32"), module + L", 101");
    EXPECT_EQ(ClassesValue(cls + L"\\MiscStatus\\1"), L"132497");
    EXPECT_EQ(ClassesValue(cls + L"\\Version"), L"1.0");
    EXPECT_EQ(ClassesValue(cls + L"\\verb\\0"), L"&Properties, 0, 2");

    common::ComPtr<ITypeLib> loaded = testsupport::RegisteredTypeLib(cls);
    ASSERT_TRUE(loaded);
    common::UniqueBstr name;
    ASSERT_EQ(loaded->GetDocumentation(-1, name.put(), nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(name.view(), L"ENTROVIALib");
    for (const IID* iid :
         {&IID_IRASEntries, &IID_IEntries, &IID_IEntry, &IID_IDevices, &IID_IDevice}) {
        common::ComPtr<ITypeInfo> info;
        EXPECT_EQ(loaded->GetTypeInfoOfGuid(*iid, info.put()), S_OK);
    }

    ASSERT_EQ(UnregisterEntroviaServer(), S_OK);
    EXPECT_FALSE(ClassesKeyExists(cls));
    EXPECT_FALSE(ClassesKeyExists(L"Entrovia.RASEntries.1"));
    ASSERT_EQ(RegisterEntroviaServer(), S_OK);
}

} // namespace
