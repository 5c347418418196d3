// Reading back what a COM server registered, for registration tests.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <span>
#include <string>

#include "common/com.h"

namespace testsupport {

// True when HKEY_CLASSES_ROOT\path exists.
bool ClassesKeyExists(const std::wstring& path);

// A string value under HKEY_CLASSES_ROOT\path (the default value when name is
// null); "<missing>" when there is none.
std::wstring ClassesValue(const std::wstring& path, const wchar_t* name = nullptr);

// Full path of a DLL loaded in this process.
std::wstring LoadedModulePath(const wchar_t* moduleName);

// The help string of a type or member.
std::wstring DocString(ITypeInfo* info, MEMBERID id);

// Checks the two ProgIDs of a class and the class key's ProgID values:
// `versioned` ("Library.Class.1") is the current version of `independent`,
// both name the class, and the class key `classKey` ("CLSID\\{...}") names both.
void ExpectProgIds(const std::wstring& classKey, const std::wstring& versioned,
                   const std::wstring& independent);

// The type library that the class key's TypeLib value names, loaded through
// the registry as a script host loads it (version 1.0); null, with a test
// failure, when it cannot be loaded.
common::ComPtr<ITypeLib> RegisteredTypeLib(const std::wstring& classKey);

// A member of an interface as its type library describes it.
struct DescribedMember {
    const wchar_t* name;
    MEMBERID id;
    std::wstring help;
};

// Checks that each member has its dispatch identifier and help string.
void ExpectMembers(ITypeInfo* info, std::span<const DescribedMember> members);

} // namespace testsupport
