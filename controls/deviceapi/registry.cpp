#include "registry.h"

#include <cstring>

#include "common/com.h"
#include "common/handle.h"
#include "frame/status.h"

namespace {

// Values are read into a buffer of this size; a longer one is not read.
constexpr DWORD kValueBuffer = 256;
// Sub-key names during a recursive deletion.
constexpr DWORD kKeyNameChars = 256;
// KEY_READ | KEY_WRITE: what a recursive deletion opens the sub-key with.
constexpr REGSAM kReadWrite = 0x2001F;

constexpr VARIANT_BOOL kTrue = VARIANT_TRUE;
constexpr VARIANT_BOOL kFalse = VARIANT_FALSE;

// Key handles travel as 32-bit longs; the predefined roots are negative and
// widen by sign, as the system's own handles do.
HKEY KeyFromLong(LONG key) noexcept {
    return reinterpret_cast<HKEY>(static_cast<INT_PTR>(key));
}

LONG LongFromKey(HKEY key) noexcept {
    return static_cast<LONG>(reinterpret_cast<INT_PTR>(key));
}

// A registry code as the deleting members' Boolean result: 0 means done.
VARIANT_BOOL CodeAsResult(LONG code) noexcept {
    return static_cast<VARIANT_BOOL>(code);
}

// Writes `setting` into value `name` of `key`: numbers as REG_DWORD, strings
// as REG_SZ. False when nothing was written (another type, or the system
// refused).
bool WriteValue(HKEY key, const wchar_t* name, const VARIANT& value) {
    // A script may pass its variable by reference.
    common::UniqueVariant plain;
    if (FAILED(::VariantCopyInd(plain.get(), const_cast<VARIANT*>(&value)))) {
        return false;
    }
    const VARIANT& setting = *plain.get();
    DWORD number = 0;
    switch (V_VT(&setting)) {
    case VT_I2:
        number = static_cast<DWORD>(static_cast<LONG>(V_I2(&setting)));
        break;
    case VT_I4:
        number = static_cast<DWORD>(V_I4(&setting));
        break;
    case VT_I8:
        number = static_cast<DWORD>(V_I8(&setting)); // its low 32 bits
        break;
    case VT_BSTR: {
        const BSTR text = V_BSTR(&setting);
        const DWORD bytes = (::SysStringLen(text) + 1) * sizeof(wchar_t);
        const wchar_t* data = text != nullptr ? text : L"";
        return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), bytes) ==
               ERROR_SUCCESS;
    }
    default:
        return false;
    }
    return ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                            sizeof(number)) == ERROR_SUCCESS;
}

// Reads value `name` of `key` into `result` as a string or a number.
// Returns the system's code for the read; `result` is left untouched when the
// read failed or the value is of another type.
LONG ReadValue(HKEY key, const wchar_t* name, VARIANT* result) {
    // One spare character terminates a string stored without its zero.
    wchar_t buffer[kValueBuffer / sizeof(wchar_t) + 1] = {};
    DWORD type = REG_NONE;
    DWORD size = kValueBuffer;
    const LONG code =
        ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (code != ERROR_SUCCESS) {
        return code;
    }
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        BSTR text = ::SysAllocString(buffer);
        if (text == nullptr) {
            return ERROR_NOT_ENOUGH_MEMORY;
        }
        ::VariantClear(result);
        V_VT(result) = VT_BSTR;
        V_BSTR(result) = text;
        break;
    }
    case REG_DWORD: {
        DWORD number = 0;
        std::memcpy(&number, buffer, sizeof(number));
        ::VariantClear(result);
        V_VT(result) = VT_I4;
        V_I4(result) = static_cast<LONG>(number);
        break;
    }
    default:
        break;
    }
    return code;
}

bool IsReadable(HKEY key, const wchar_t* name) {
    DWORD type = REG_NONE;
    DWORD size = kValueBuffer;
    BYTE buffer[kValueBuffer];
    return ::RegQueryValueExW(key, name, nullptr, &type, buffer, &size) == ERROR_SUCCESS &&
           (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_DWORD);
}

// Deletes `name` below `parent` with everything beneath it; the code of the
// first step that failed, or 0.
LONG DeleteTree(HKEY parent, const wchar_t* name) {
    common::UniqueKey key;
    LONG code = ::RegOpenKeyExW(parent, name, 0, kReadWrite, key.put());
    if (code != ERROR_SUCCESS) {
        return code;
    }
    for (;;) {
        wchar_t child[kKeyNameChars] = {};
        DWORD chars = kKeyNameChars;
        if (::RegEnumKeyExW(key.get(), 0, child, &chars, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break; // no sub-key left
        }
        code = DeleteTree(key.get(), child);
        if (code != ERROR_SUCCESS) {
            return code;
        }
    }
    key.reset();
    return ::RegDeleteKeyW(parent, name);
}

const wchar_t* Text(BSTR text) noexcept {
    return text != nullptr ? text : L"";
}

} // namespace

const frame::ObjectClass& Registry::Class() {
    static const frame::ObjectClass cls = {&CLSID_Registry, &IID_IRegistry, &DIID__IRegistryEvents};
    return cls;
}

HRESULT Registry::SaveSetting(MXQRAPIRegKey RootKey, BSTR Section, BSTR Key, VARIANT Setting) {
    common::UniqueKey key;
    if (::RegCreateKeyExW(KeyFromLong(RootKey), Text(Section), 0, nullptr, 0, KEY_ALL_ACCESS,
                          nullptr, key.put(), nullptr) == ERROR_SUCCESS) {
        WriteValue(key.get(), Text(Key), Setting);
    }
    return S_OK;
}

HRESULT Registry::GetSetting(MXQRAPIRegKey RootKey, BSTR Section, BSTR Key, VARIANT Default,
                             VARIANT* Result) {
    if (Result == nullptr) {
        return E_POINTER;
    }
    common::UniqueKey key;
    if (::RegOpenKeyExW(KeyFromLong(RootKey), Text(Section), 0, KEY_READ, key.put()) ==
            ERROR_SUCCESS &&
        IsReadable(key.get(), Text(Key)) &&
        ReadValue(key.get(), Text(Key), Result) == ERROR_SUCCESS) {
        return S_OK;
    }
    ::VariantClear(Result);
    ::VariantCopyInd(Result, &Default);
    return S_OK;
}

HRESULT Registry::CreateKey(LONG KeyParent, BSTR KeyName, LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    HKEY key = nullptr;
    if (::RegCreateKeyExW(KeyFromLong(KeyParent), Text(KeyName), 0, nullptr, 0, KEY_ALL_ACCESS,
                          nullptr, &key, nullptr) != ERROR_SUCCESS) {
        key = nullptr;
    }
    *pVal = LongFromKey(key); // the script owns it until CloseKey
    return S_OK;
}

HRESULT Registry::SetValue(LONG Key, BSTR Section, VARIANT Setting, VARIANT_BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = WriteValue(KeyFromLong(Key), Text(Section), Setting) ? kTrue : kFalse;
    return S_OK;
}

HRESULT Registry::CloseKey(LONG Key) {
    ::RegCloseKey(KeyFromLong(Key));
    return S_OK;
}

HRESULT Registry::DeleteKey(LONG Key, BSTR SubKey, VARIANT_BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = CodeAsResult(::RegDeleteKeyW(KeyFromLong(Key), Text(SubKey)));
    return S_OK;
}

HRESULT Registry::DeleteValue(LONG Key, BSTR Value, VARIANT_BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = CodeAsResult(::RegDeleteValueW(KeyFromLong(Key), Text(Value)));
    return S_OK;
}

HRESULT Registry::RecurseDeleteKey(LONG Key, BSTR SubKeyName, VARIANT_BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = CodeAsResult(DeleteTree(KeyFromLong(Key), Text(SubKeyName)));
    return S_OK;
}

HRESULT Registry::QueryValue(LONG Key, BSTR ValueName, VARIANT* Result) {
    if (Result == nullptr) {
        return E_POINTER;
    }
    const LONG code = ReadValue(KeyFromLong(Key), Text(ValueName), Result);
    if (code != ERROR_SUCCESS) {
        return frame::SystemStatus(static_cast<DWORD>(code));
    }
    return S_OK;
}
