#include "testsupport/registry_checks.h"

#include "common/com.h"
#include "common/handle.h"

namespace testsupport {

bool ClassesKeyExists(const std::wstring& path) {
    common::UniqueKey key;
    return ::RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) ==
           ERROR_SUCCESS;
}

std::wstring ClassesValue(const std::wstring& path, const wchar_t* name) {
    wchar_t text[512] = {};
    DWORD size = sizeof text;
    if (::RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, text,
                       &size) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    return text;
}

std::wstring LoadedModulePath(const wchar_t* moduleName) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(::GetModuleHandleW(moduleName), path, MAX_PATH);
    return path;
}

std::wstring DocString(ITypeInfo* info, MEMBERID id) {
    common::UniqueBstr doc;
    info->GetDocumentation(id, nullptr, doc.put(), nullptr, nullptr);
    return std::wstring(doc.view());
}

} // namespace testsupport
