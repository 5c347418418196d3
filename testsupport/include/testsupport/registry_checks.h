// Reading back what a COM server registered, for registration tests.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

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

} // namespace testsupport
