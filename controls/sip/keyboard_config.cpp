#include "keyboard_config.h"

#include <vector>

#include "SipVorpel.h"
#include "common/handle.h"

namespace keyboard {
namespace {

constexpr wchar_t kConfigKey[] = L"Software\\Vorpel\\SipVorpel";

// Every read and write opens the key afresh, creating it when missing.
common::UniqueKey OpenConfig() {
    common::UniqueKey key;
    ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kConfigKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      key.put(), nullptr);
    return key;
}

std::wstring ClassKeyPath(const wchar_t* subkey) {
    wchar_t clsid[40] = {};
    ::StringFromGUID2(CLSID_KeyboardVorp, clsid, 40);
    std::wstring path = std::wstring(L"CLSID\\") + clsid;
    if (subkey != nullptr) {
        path += L"\\";
        path += subkey;
    }
    return path;
}

bool QueryString(HKEY key, const wchar_t* name, size_t maxChars, std::wstring* text) {
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    if (::RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()),
                           &size) != ERROR_SUCCESS) {
        return false;
    }
    buffer[size / sizeof(wchar_t)] = L'\0';
    std::wstring value(buffer.data());
    if (value.size() > maxChars) {
        value.resize(maxChars);
    }
    *text = std::move(value);
    return true;
}

bool SetString(HKEY key, const wchar_t* name, std::wstring_view text) {
    const std::wstring value(text);
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

} // namespace

DWORD DefaultTextColor() {
    return ::GetSysColor(COLOR_BTNTEXT);
}

DWORD ReadDword(const wchar_t* name, DWORD fallback) {
    common::UniqueKey key = OpenConfig();
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    if (!key ||
        ::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                           &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value)) {
        return fallback;
    }
    return value;
}

bool WriteDword(const wchar_t* name, DWORD value) {
    common::UniqueKey key = OpenConfig();
    return key &&
           ::RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof(value)) == ERROR_SUCCESS;
}

short ReadShort(const wchar_t* name, DWORD fallback) {
    return static_cast<short>(ReadDword(name, fallback));
}

bool WriteShort(const wchar_t* name, short value) {
    return WriteDword(name, static_cast<DWORD>(static_cast<LONG>(value)));
}

bool ReadString(const wchar_t* name, size_t maxChars, std::wstring* text) {
    text->clear();
    common::UniqueKey key = OpenConfig();
    return key && QueryString(key.get(), name, maxChars, text);
}

bool WriteString(const wchar_t* name, std::wstring_view text) {
    common::UniqueKey key = OpenConfig();
    return key && SetString(key.get(), name, text);
}

std::wstring KeyValueName(const wchar_t* prefix, int n) {
    return prefix + std::to_wstring(n);
}

bool ReadClassString(const wchar_t* subkey, const wchar_t* name, std::wstring* text) {
    text->clear();
    common::UniqueKey key;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, ClassKeyPath(subkey).c_str(), 0, KEY_READ, key.put()) !=
        ERROR_SUCCESS) {
        return false;
    }
    return QueryString(key.get(), name, std::wstring::npos, text);
}

bool WriteClassString(const wchar_t* subkey, const wchar_t* name, std::wstring_view text) {
    common::UniqueKey key;
    if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, ClassKeyPath(subkey).c_str(), 0, nullptr, 0,
                          KEY_ALL_ACCESS, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return SetString(key.get(), name, text);
}

} // namespace keyboard
