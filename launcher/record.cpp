#include "launch.h"

#include <cwchar>

#include "common/handle.h"

namespace launcher {

const wchar_t kSettingsKey[] = L"Software\\Pellworth\\ZVNR";
const wchar_t kFileNameValue[] = L"FileName";

void RecordCommandLine(const wchar_t* commandLine) {
    const wchar_t* text = commandLine != nullptr ? commandLine : L"";
    common::UniqueKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          key.put(), nullptr) != ERROR_SUCCESS) {
        return;
    }
    const DWORD bytes = static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t));
    ::RegSetValueExW(key.get(), kFileNameValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                     bytes);
}

} // namespace launcher
