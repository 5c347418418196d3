// What registration leaves for scripts and for the SIP manager.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include <gtest/gtest.h>

#include "sip.h"
#include "sip_fixture.h"
#include "testsupport/registry_checks.h"

namespace {

using testsupport::ClassesKeyExists;
using testsupport::ClassesValue;
using testsupport::DocString;

const wchar_t kSipVorpKey[] = L"CLSID\\{34933317-91DE-42D8-83C1-3BDD1413DD8F}";
const wchar_t kKeyboardKey[] = L"CLSID\\{CDF70A2A-A830-4F9A-8765-2EF20504AA31}";

std::wstring ModulePath() {
    return testsupport::LoadedModulePath(L"SipVorpel.dll");
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(RegisterSipServer(), S_OK); }
    common::ComApartment apartment_;
};

TEST_F(Registration, SipVorpIsAnApartmentWindowsCeControl) {
    testsupport::ExpectProgIds(kSipVorpKey, L"SipVorpel.SipVorp.1", L"SipVorpel.SipVorp");
    const std::wstring cls = kSipVorpKey;
    EXPECT_TRUE(ClassesKeyExists(cls + L"\\Programmable"));
    EXPECT_TRUE(ClassesKeyExists(cls + L"\\Windows CE Control"));
    EXPECT_EQ(ClassesValue(cls + L"\\InprocServer32"), ModulePath());
    EXPECT_EQ(ClassesValue(cls + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_FALSE(ClassesKeyExists(cls + L"\\IsSIPInputMethod"));
}

TEST_F(Registration, KeyboardVorpIsRegisteredAsAnInputMethod) {
    EXPECT_EQ(ClassesValue(L"SipVorpel.KeyboardVorp"), L"KeyboardVorp");
    EXPECT_EQ(ClassesValue(L"SipVorpel.KeyboardVorp.1"), L"KeyboardVorp");
    EXPECT_EQ(ClassesValue(L"SipVorpel.KeyboardVorp\\CurVer"), L"SipVorpel.KeyboardVorp.1");
    const std::wstring cls = kKeyboardKey;
    EXPECT_EQ(ClassesValue(cls), L"KeyboardVorp");
    EXPECT_NE(ClassesValue(cls, L"Desc"), L"<missing>");
    EXPECT_EQ(ClassesValue(cls + L"\\DefaultIcon"), ModulePath() + L",0");
    EXPECT_EQ(ClassesValue(cls + L"\\IsSIPInputMethod"), L"1");
    EXPECT_EQ(ClassesValue(cls + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_TRUE(ClassesKeyExists(cls + L"\\Programmable"));

    // The manager lists it under its display name.
    static bool listed;
    listed = false;
    SipEnumIM([](IMENUMINFO* info) {
        if (info->clsid == CLSID_KeyboardVorp) {
            listed = std::wstring(info->szName) == L"KeyboardVorp";
        }
        return 1;
    });
    EXPECT_TRUE(listed);

    // Its icon is there to be shown.
    HICON icon = ::ExtractIconW(nullptr, ModulePath().c_str(), 0);
    EXPECT_NE(icon, nullptr);
    if (icon != nullptr) {
        ::DestroyIcon(icon);
    }
}

TEST_F(Registration, TypeLibraryHoldsBothClassesAndTheEnumerations) {
    common::ComPtr<ITypeLib> loaded = testsupport::RegisteredTypeLib(kKeyboardKey);
    ASSERT_TRUE(loaded);
    common::UniqueBstr name;
    loaded->GetDocumentation(-1, name.put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(name.view(), L"SipVorpel");

    struct Enumeration {
        const wchar_t* name;
        const wchar_t* help;
        UINT count;
    };
    const Enumeration enumerations[] = {
        {L"SipPreference", L"SIP state enumeration", 4},
        {L"SipKeyUse", L"Key definition flags", 6},
        {L"SipStyle", L"Predefined keyboard styles", 5},
        {L"SipAlign", L"Horizontal alignment constants for keyboard layout", 3},
    };
    for (const Enumeration& expected : enumerations) {
        common::ComPtr<ITypeInfo> info;
        MEMBERID id = 0;
        USHORT found = 1;
        ASSERT_EQ(loaded->FindName(const_cast<LPOLESTR>(expected.name), 0, info.put(), &id, &found),
                  S_OK)
            << expected.name;
        ASSERT_EQ(found, 1) << expected.name;
        TYPEATTR* attributes = nullptr;
        info->GetTypeAttr(&attributes);
        EXPECT_EQ(attributes->typekind, TKIND_ENUM) << expected.name;
        EXPECT_EQ(attributes->cVars, expected.count) << expected.name;
        info->ReleaseTypeAttr(attributes);
        EXPECT_EQ(DocString(info.get(), MEMBERID_NIL), expected.help);
    }

    common::ComPtr<ITypeInfo> events;
    ASSERT_EQ(loaded->GetTypeInfoOfGuid(DIID__IKeyboardVorpEvents, events.put()), S_OK);
    EXPECT_EQ(DocString(events.get(), 1), L"Function Key Pressed");
}

TEST_F(Registration, UnregisterRemovesBothClasses) {
    ASSERT_EQ(UnregisterSipServer(), S_OK);
    EXPECT_FALSE(ClassesKeyExists(kSipVorpKey));
    EXPECT_FALSE(ClassesKeyExists(kKeyboardKey));
    EXPECT_FALSE(ClassesKeyExists(L"SipVorpel.KeyboardVorp"));
    ASSERT_EQ(RegisterSipServer(), S_OK);
    EXPECT_TRUE(ClassesKeyExists(kKeyboardKey));
}

} // namespace
