#include <gtest/gtest.h>

#include <windows.h>

#include "common/handle.h"
#include "testsupport/child.h"

namespace {

const wchar_t kKey[] = L"Software\\TerminalSimulator\\Tests\\Registry";

int WriteValue(const std::vector<std::wstring>& args) {
    common::UniqueKey key;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS) {
        return 1;
    }
    DWORD value = static_cast<DWORD>(std::stoul(args.at(0)));
    return ::RegSetValueExW(key.get(), L"Value", 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&value), sizeof(value)) == ERROR_SUCCESS
               ? 0
               : 2;
}
testsupport::ChildRegistration writer(L"write-registry", WriteValue);

} // namespace

TEST(TerminalRegistry, AValueWrittenByOneProcessIsReadByAnother) {
    const DWORD expected = ::GetTickCount() | 1;
    ASSERT_EQ(testsupport::RunChild(L"write-registry", std::to_wstring(expected)), 0u);

    DWORD value = 0;
    DWORD size = sizeof(value);
    EXPECT_EQ(::RegGetValueW(HKEY_LOCAL_MACHINE, kKey, L"Value", RRF_RT_REG_DWORD, nullptr, &value,
                             &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, expected);
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kKey);
}
