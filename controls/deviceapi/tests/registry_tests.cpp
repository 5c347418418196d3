// Settings and key-level registry access, checked against the registry itself.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "common/com.h"
#include "deviceapi_server.h"
#include "testsupport/script_host.h"

namespace {

constexpr LONG kCurrentUser = static_cast<LONG>(0x80000001);
const wchar_t kSection[] = L"Software\\MXQRAPI registry tests";

class RegistryObject : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegisterDeviceApiServer(), S_OK);
        ASSERT_EQ(::CoCreateInstance(CLSID_Registry, nullptr, CLSCTX_INPROC_SERVER, IID_IRegistry,
                                     reinterpret_cast<void**>(registry_.put())),
                  S_OK);
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kSection); }

    HRESULT Save(const wchar_t* name, const VARIANT& value) {
        common::UniqueBstr section(::SysAllocString(kSection));
        common::UniqueBstr key(::SysAllocString(name));
        return registry_->SaveSetting(irkHKEY_CURRENT_USER, section.get(), key.get(), value);
    }
    common::UniqueVariant Get(const wchar_t* name) {
        common::UniqueBstr section(::SysAllocString(kSection));
        common::UniqueBstr key(::SysAllocString(name));
        VARIANT fallback;
        V_VT(&fallback) = VT_I4;
        V_I4(&fallback) = -77;
        common::UniqueVariant result;
        EXPECT_EQ(registry_->GetSetting(irkHKEY_CURRENT_USER, section.get(), key.get(), fallback,
                                        result.get()),
                  S_OK);
        return result;
    }
    DWORD StoredType(const wchar_t* name, DWORD* bytes) {
        DWORD type = REG_NONE;
        *bytes = 0;
        if (::RegGetValueW(HKEY_CURRENT_USER, kSection, name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                           nullptr, bytes) != ERROR_SUCCESS) {
            return 0xFFFF;
        }
        return type;
    }

    common::ComApartment apartment_;
    common::ComPtr<IRegistry> registry_;
};

TEST_F(RegistryObject, StringsAndNumbersAreStoredAsSzAndDword) {
    VARIANT text;
    V_VT(&text) = VT_BSTR;
    V_BSTR(&text) = ::SysAllocString(L"abc");
    ASSERT_EQ(Save(L"Text", text), S_OK);
    ::VariantClear(&text);
    VARIANT number;
    V_VT(&number) = VT_I8;
    V_I8(&number) = 0x100000005LL;
    ASSERT_EQ(Save(L"Number", number), S_OK);
    DWORD bytes = 0;
    EXPECT_EQ(StoredType(L"Text", &bytes), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, 8u);
    EXPECT_EQ(StoredType(L"Number", &bytes), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(bytes, 4u);

    common::UniqueVariant read = Get(L"Text");
    ASSERT_EQ(V_VT(read.get()), VT_BSTR);
    EXPECT_STREQ(V_BSTR(read.get()), L"abc");
    read = Get(L"Number");
    ASSERT_EQ(V_VT(read.get()), VT_I4);
    EXPECT_EQ(V_I4(read.get()), 5) << "the low 32 bits";
}

TEST_F(RegistryObject, OtherTypesAreNotWrittenAndUnreadableValuesGiveTheDefault) {
    VARIANT flag;
    V_VT(&flag) = VT_BOOL;
    V_BOOL(&flag) = VARIANT_TRUE;
    ASSERT_EQ(Save(L"Flag", flag), S_OK);
    DWORD bytes = 0;
    EXPECT_EQ(StoredType(L"Flag", &bytes), 0xFFFFu);
    EXPECT_EQ(V_I4(Get(L"Flag").get()), -77);

    const BYTE binary[] = {1, 2, 3};
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kSection, L"Binary", REG_BINARY, binary, 3);
    EXPECT_EQ(V_I4(Get(L"Binary").get()), -77);

    // 127 characters and the zero fill the 256-byte buffer; 128 do not fit.
    const std::wstring fits(127, L'x');
    const std::wstring tooLong(128, L'x');
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kSection, L"Fits", REG_SZ, fits.c_str(),
                      static_cast<DWORD>((fits.size() + 1) * 2));
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kSection, L"TooLong", REG_SZ, tooLong.c_str(),
                      static_cast<DWORD>((tooLong.size() + 1) * 2));
    common::UniqueVariant read = Get(L"Fits");
    ASSERT_EQ(V_VT(read.get()), VT_BSTR);
    EXPECT_EQ(std::wstring(V_BSTR(read.get())), fits);
    EXPECT_EQ(V_I4(Get(L"TooLong").get()), -77);
    EXPECT_EQ(V_I4(Get(L"Missing").get()), -77);
}

TEST_F(RegistryObject, QueryValueAnswersTheReadsCodeAndLeavesTheResultEmpty) {
    common::UniqueBstr section(::SysAllocString(kSection));
    LONG key = 0;
    ASSERT_EQ(registry_->CreateKey(kCurrentUser, section.get(), &key), S_OK);
    const std::wstring tooLong(128, L'x');
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kSection, L"TooLong", REG_SZ, tooLong.c_str(),
                      static_cast<DWORD>((tooLong.size() + 1) * 2));
    const BYTE binary[] = {1, 2, 3};
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kSection, L"Binary", REG_BINARY, binary, 3);
    const DWORD number = 0xFFFFFFFEu;
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kSection, L"Number", REG_DWORD, &number, 4);

    const struct {
        const wchar_t* name;
        HRESULT status;
        VARTYPE type;
    } cases[] = {
        {L"TooLong", ERROR_MORE_DATA, VT_EMPTY},
        {L"Missing", ERROR_FILE_NOT_FOUND, VT_EMPTY},
        {L"Binary", S_OK, VT_EMPTY},
        {L"Number", S_OK, VT_I4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        common::UniqueVariant result;
        EXPECT_EQ(registry_->QueryValue(key, common::UniqueBstr(c.name).get(), result.get()),
                  c.status);
        EXPECT_EQ(V_VT(result.get()), c.type);
    }
    common::UniqueVariant result;
    ASSERT_EQ(registry_->QueryValue(key, common::UniqueBstr(L"Number").get(), result.get()), S_OK);
    EXPECT_EQ(V_I4(result.get()), -2);
    EXPECT_EQ(registry_->CloseKey(key), S_OK);
}

TEST_F(RegistryObject, DeletingMembersAnswerZeroForDoneAndTheCodeOtherwise) {
    common::UniqueBstr section(::SysAllocString(kSection));
    LONG key = 0;
    ASSERT_EQ(registry_->CreateKey(kCurrentUser, section.get(), &key), S_OK);
    ASSERT_NE(key, 0);
    common::UniqueBstr name(::SysAllocString(L"Value"));
    VARIANT number;
    V_VT(&number) = VT_I4;
    V_I4(&number) = 7;
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_EQ(registry_->SetValue(key, name.get(), number, &result), S_OK);
    EXPECT_EQ(result, VARIANT_TRUE);
    ASSERT_EQ(registry_->DeleteValue(key, name.get(), &result), S_OK);
    EXPECT_EQ(result, 0);
    ASSERT_EQ(registry_->DeleteValue(key, name.get(), &result), S_OK);
    EXPECT_EQ(result, ERROR_FILE_NOT_FOUND);

    common::UniqueBstr empty(::SysAllocString(L"Empty"));
    ::RegSetKeyValueW(HKEY_CURRENT_USER, (std::wstring(kSection) + L"\\Empty").c_str(), nullptr,
                      REG_SZ, L"", 2);
    ASSERT_EQ(registry_->DeleteKey(key, empty.get(), &result), S_OK);
    EXPECT_EQ(result, 0);
    ASSERT_EQ(registry_->DeleteKey(key, empty.get(), &result), S_OK);
    EXPECT_EQ(result, ERROR_FILE_NOT_FOUND);

    // Two levels of sub-keys with values.
    const std::wstring tree = std::wstring(kSection) + L"\\Tree";
    ::RegSetKeyValueW(HKEY_CURRENT_USER, (tree + L"\\A\\B").c_str(), L"v", REG_SZ, L"1", 4);
    ::RegSetKeyValueW(HKEY_CURRENT_USER, (tree + L"\\C").c_str(), L"v", REG_SZ, L"2", 4);
    common::UniqueBstr treeName(::SysAllocString(L"Tree"));
    ASSERT_EQ(registry_->RecurseDeleteKey(key, treeName.get(), &result), S_OK);
    EXPECT_EQ(result, 0);
    HKEY gone = nullptr;
    EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, tree.c_str(), 0, KEY_READ, &gone),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(registry_->CloseKey(key), S_OK);
}

TEST(RegistryScript, StoresASettingAndReadsItBack) {
    {
        common::ComApartment apartment;
        ASSERT_EQ(RegisterDeviceApiServer(), S_OK);
    }
    const std::string output = testsupport::RunVbScript(
        "Set reg = CreateObject(\"MXQRAPI.Registry\")\r\n"
        "Set power = CreateObject(\"MXQRAPI.Power\")\r\n"
        "WScript.Echo \"battery \" & power.BatteryLifePercent & \"% flag \" & "
        "power.BatteryFlag\r\n"
        "reg.SaveSetting &H80000001, \"Software\\MXQRAPI script test\", \"Operator\", \"Ann\"\r\n"
        "WScript.Echo \"operator \" & reg.GetSetting(&H80000001, \"Software\\MXQRAPI script "
        "test\", \"Operator\", \"none\")\r\n"
        "k = reg.CreateKey(&H80000001, \"Software\")\r\n"
        "WScript.Echo \"deleted \" & reg.RecurseDeleteKey(k, \"MXQRAPI script test\")\r\n"
        "reg.CloseKey k\r\n"
        "WScript.Echo \"done\"\r\n");
    EXPECT_EQ(output.substr(output.find("operator")), "operator Ann\r\ndeleted False\r\ndone\r\n");
    EXPECT_EQ(output.rfind("battery ", 0), 0u) << output;
}

} // namespace
