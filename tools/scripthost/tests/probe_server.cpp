#include "probe_server.h"

namespace {

using ServerEntry = HRESULT(WINAPI*)();

ServerEntry Entry(HMODULE module, const char* name) {
    return reinterpret_cast<ServerEntry>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

} // namespace

RegisteredProbe::RegisteredProbe() : module_(::LoadLibraryW(L"scripthost_probe.dll")) {
    if (ServerEntry enter = module_ ? Entry(module_.get(), "DllRegisterServer") : nullptr) {
        result_ = enter();
    }
}

RegisteredProbe::~RegisteredProbe() {
    if (ServerEntry leave = module_ ? Entry(module_.get(), "DllUnregisterServer") : nullptr) {
        leave();
    }
}
