// Listora's server entry points.
#include "frame/module.h"
#include "listora.h"
#include "resource.h"

namespace {

const frame::ClassEntry kClasses[] = {
    {&CLSID_Listora, IDR_LISTORA, &frame::CreateInstance<Listora>},
};

} // namespace

extern "C" HRESULT WINAPI DllCanUnloadNow() {
    return frame::CanUnloadNow();
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    return frame::GetClassObject(kClasses, clsid, iid, object);
}

extern "C" HRESULT WINAPI DllRegisterServer() {
    return frame::RegisterServer(kClasses);
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    return frame::UnregisterServer(kClasses);
}
