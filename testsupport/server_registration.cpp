#include "testsupport/server_registration.h"

namespace testsupport {
namespace {

HRESULT CallEntry(const wchar_t* library, const char* name) {
    HMODULE module = ::LoadLibraryW(library); // stays loaded, as COM keeps it
    if (module == nullptr) {
        return HRESULT_FROM_WIN32(::GetLastError());
    }
    auto entry = reinterpret_cast<HRESULT(WINAPI*)()>(
        reinterpret_cast<void*>(::GetProcAddress(module, name)));
    return entry != nullptr ? entry() : E_FAIL;
}

} // namespace

HRESULT RegisterServer(const wchar_t* library) {
    return CallEntry(library, "DllRegisterServer");
}

HRESULT UnregisterServer(const wchar_t* library) {
    return CallEntry(library, "DllUnregisterServer");
}

} // namespace testsupport
