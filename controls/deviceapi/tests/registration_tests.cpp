// The registry and type library entries a script host finds for the eight
// classes, and the layout of their interfaces.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/com.h"
#include "deviceapi_server.h"
#include "testsupport/registry_checks.h"

namespace {

using testsupport::ClassesKeyExists;
using testsupport::ClassesValue;
using testsupport::DocString;

std::wstring GuidText(const GUID& guid) {
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, 40);
    return text;
}

struct RegisteredClass {
    const wchar_t* name;
    const CLSID* clsid;
    const IID* dual;
    const IID* events; // null: no event interface
    const wchar_t* help;
    bool apartment;
};

const RegisteredClass kClasses[] = {
    {L"Core", &CLSID_Core, &IID_ICore, &DIID__ICoreEvents,
     L"Wrappers for common functions found in coredll.dll", false},
    {L"Power", &CLSID_Power, &IID_IPower, &DIID__IPowerEvents,
     L"Properties and methods pertaining to device power", false},
    {L"Memory", &CLSID_Memory, &IID_IMemory, &DIID__IMemoryEvents,
     L"Properties and methods pertaining to device memory", false},
    {L"Registry", &CLSID_Registry, &IID_IRegistry, &DIID__IRegistryEvents,
     L"Functions for accessing registry information", false},
    {L"ListViewHelper", &CLSID_ListViewHelper, &IID_IListViewHelper, nullptr,
     L"Functions and properties for manipulating existing ListView controls", true},
    {L"WindowHelper", &CLSID_WindowHelper, &IID_IWindowHelper, nullptr,
     L"Wrapper functions for manipulating windows", true},
    {L"Inet", &CLSID_Inet, &IID_IInet, nullptr, L"Wrapper for FTP functionality", true},
    {L"WinHook", &CLSID_WinHook, &IID_IWinHook, &DIID__IWinHookEvents,
     L"Allows subclassing of Windows", false},
};

std::wstring ClassKey(const RegisteredClass& cls) {
    return L"CLSID\\" + GuidText(*cls.clsid);
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(RegisterDeviceApiServer(), S_OK); }
    common::ComApartment apartment_;
};

TEST_F(Registration, EveryClassHasTwoProgIdsAndAPlainServerKey) {
    const std::wstring module = testsupport::LoadedModulePath(L"MXQRAPI.dll");
    for (const RegisteredClass& cls : kClasses) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(cls.name)));
        const std::wstring independent = std::wstring(L"MXQRAPI.") + cls.name;
        const std::wstring versioned = independent + L".1";
        const std::wstring description = std::wstring(cls.name) + L" Class";
        const std::wstring key = ClassKey(cls);
        EXPECT_EQ(ClassesValue(versioned), description);
        EXPECT_EQ(ClassesValue(independent), description);
        testsupport::ExpectProgIds(key, versioned, independent);
        EXPECT_EQ(ClassesValue(key), description);
        EXPECT_TRUE(ClassesKeyExists(key + L"\\Programmable"));
        EXPECT_EQ(ClassesValue(key + L"\\InprocServer32"), module);
        EXPECT_EQ(ClassesValue(key + L"\\InprocServer32", L"ThreadingModel"),
                  cls.apartment ? L"Apartment" : L"<missing>");
        // Not a visual control.
        EXPECT_FALSE(ClassesKeyExists(key + L"\\Control"));
        EXPECT_FALSE(ClassesKeyExists(key + L"\\Insertable"));
        EXPECT_FALSE(ClassesKeyExists(key + L"\\MiscStatus"));
        EXPECT_FALSE(ClassesKeyExists(key + L"\\ToolboxBitmap32"));
    }
}

TEST_F(Registration, EveryClassIsCreatedByProgIdAndOffersItsEvents) {
    for (const RegisteredClass& cls : kClasses) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(cls.name)));
        CLSID clsid = {};
        ASSERT_EQ(::CLSIDFromProgID((std::wstring(L"MXQRAPI.") + cls.name).c_str(), &clsid), S_OK);
        common::ComPtr<IUnknown> object;
        ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, *cls.dual,
                                     reinterpret_cast<void**>(object.put())),
                  S_OK);
        common::ComPtr<IConnectionPointContainer> container =
            object.as<IConnectionPointContainer>();
        // A class with an event interface accepts connections, even where
        // the interface has no member; the others have no connection points.
        EXPECT_EQ(static_cast<bool>(container), cls.events != nullptr);
        if (container) {
            common::ComPtr<IConnectionPoint> point;
            EXPECT_EQ(container->FindConnectionPoint(*cls.events, point.put()), S_OK);
            EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, point.put()),
                      CONNECT_E_NOCONNECTION);
        }
        // The class describes itself to a script host.
        common::ComPtr<IProvideClassInfo> provider = object.as<IProvideClassInfo>();
        ASSERT_TRUE(provider);
        common::ComPtr<ITypeInfo> info;
        ASSERT_EQ(provider->GetClassInfo(info.put()), S_OK);
        EXPECT_EQ(DocString(info.get(), MEMBERID_NIL), cls.help);
    }
}

TEST_F(Registration, TypeLibraryNamesItselfAndItsClasses) {
    common::ComPtr<ITypeLib> library = testsupport::RegisteredTypeLib(ClassKey(kClasses[0]));
    ASSERT_TRUE(library);
    common::UniqueBstr name;
    common::UniqueBstr doc;
    ASSERT_EQ(library->GetDocumentation(-1, name.put(), doc.put(), nullptr, nullptr), S_OK);
    EXPECT_EQ(name.view(), L"MXQRAPI");
    EXPECT_EQ(doc.view(), L"MXQR Windows CE API Wrapper Function Library 3.0");
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    library->ReleaseTLibAttr(attributes);

    for (const RegisteredClass& cls : kClasses) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(cls.name)));
        EXPECT_EQ(ClassesValue(ClassKey(cls) + L"\\TypeLib"),
                  ClassesValue(ClassKey(kClasses[0]) + L"\\TypeLib"));
        common::ComPtr<ITypeInfo> coclass;
        ASSERT_EQ(library->GetTypeInfoOfGuid(*cls.clsid, coclass.put()), S_OK);
        EXPECT_EQ(DocString(coclass.get(), MEMBERID_NIL), cls.help);
        common::ComPtr<ITypeInfo> dual;
        ASSERT_EQ(library->GetTypeInfoOfGuid(*cls.dual, dual.put()), S_OK);
        common::UniqueBstr dualName;
        dual->GetDocumentation(MEMBERID_NIL, dualName.put(), nullptr, nullptr, nullptr);
        EXPECT_EQ(DocString(dual.get(), MEMBERID_NIL),
                  std::wstring(dualName.view()) + L" Interface");
        TYPEATTR* type = nullptr;
        ASSERT_EQ(dual->GetTypeAttr(&type), S_OK);
        EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FDUAL);
        dual->ReleaseTypeAttr(type);
        if (cls.events != nullptr) {
            common::ComPtr<ITypeInfo> events;
            ASSERT_EQ(library->GetTypeInfoOfGuid(*cls.events, events.put()), S_OK);
            EXPECT_EQ(DocString(events.get(), MEMBERID_NIL),
                      L"_I" + std::wstring(cls.name) + L"Events Interface");
        }
    }

    // The project name in the library's string table.
    wchar_t project[32] = {};
    EXPECT_GT(::LoadStringW(::GetModuleHandleW(L"MXQRAPI.dll"), 100, project, 32), 0);
    EXPECT_STREQ(project, L"MXQRAPI");
}

TEST_F(Registration, UnregisterRemovesEveryKeyAndRegisterPutsThemBack) {
    const std::wstring libraryKey =
        L"TypeLib\\" + ClassesValue(ClassKey(kClasses[0]) + L"\\TypeLib");
    ASSERT_EQ(UnregisterDeviceApiServer(), S_OK);
    for (const RegisteredClass& cls : kClasses) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(cls.name)));
        EXPECT_FALSE(ClassesKeyExists(std::wstring(L"MXQRAPI.") + cls.name));
        EXPECT_FALSE(ClassesKeyExists(std::wstring(L"MXQRAPI.") + cls.name + L".1"));
        EXPECT_FALSE(ClassesKeyExists(ClassKey(cls)));
    }
    EXPECT_FALSE(ClassesKeyExists(libraryKey));
    ASSERT_EQ(RegisterDeviceApiServer(), S_OK);
    for (const RegisteredClass& cls : kClasses) {
        EXPECT_TRUE(ClassesKeyExists(ClassKey(cls)));
    }
    EXPECT_TRUE(ClassesKeyExists(libraryKey));
}

} // namespace
