#include "testsupport/registry_checks.h"

#include "common/com.h"
#include "common/handle.h"

#include <gtest/gtest.h>

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

void ExpectProgIds(const std::wstring& classKey, const std::wstring& versioned,
                   const std::wstring& independent) {
    const std::wstring clsid = classKey.substr(classKey.find(L'{'));
    EXPECT_EQ(ClassesValue(versioned + L"\\CLSID"), clsid) << versioned;
    EXPECT_EQ(ClassesValue(independent + L"\\CLSID"), clsid) << independent;
    EXPECT_EQ(ClassesValue(independent + L"\\CurVer"), versioned) << independent;
    EXPECT_EQ(ClassesValue(classKey + L"\\ProgID"), versioned) << classKey;
    EXPECT_EQ(ClassesValue(classKey + L"\\VersionIndependentProgID"), independent) << classKey;
}

common::ComPtr<ITypeLib> RegisteredTypeLib(const std::wstring& classKey) {
    common::ComPtr<ITypeLib> loaded;
    GUID library = {};
    if (::CLSIDFromString(ClassesValue(classKey + L"\\TypeLib").c_str(), &library) != S_OK) {
        ADD_FAILURE() << "no TypeLib value under " << testing::PrintToString(classKey);
        return loaded;
    }
    HRESULT hr = ::LoadRegTypeLib(library, 1, 0, 0, loaded.put());
    if (FAILED(hr)) {
        ADD_FAILURE() << "the registered type library does not load: " << std::hex << hr;
    }
    return loaded;
}

void ExpectMembers(ITypeInfo* info, std::span<const DescribedMember> members) {
    for (const DescribedMember& member : members) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(member.name)};
        MEMBERID id = MEMBERID_NIL;
        if (info->GetIDsOfNames(names, 1, &id) != S_OK) {
            ADD_FAILURE() << "no member " << testing::PrintToString(std::wstring(member.name));
            continue;
        }
        EXPECT_EQ(id, member.id) << testing::PrintToString(std::wstring(member.name));
        EXPECT_EQ(DocString(info, id), member.help)
            << testing::PrintToString(std::wstring(member.name));
    }
}

} // namespace testsupport
