// SipVorpel's server entry points.
#include "frame/module.h"
#include "keyboard_vorp.h"
#include "resource.h"
#include "sip_vorp.h"

namespace {

const frame::ClassEntry kClasses[] = {
    {&CLSID_SipVorp, IDR_SIPVORP, &frame::CreateInstance<SipVorp>},
    {&CLSID_KeyboardVorp, IDR_KEYBOARDVORP, &frame::CreateInstance<KeyboardVorp>},
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
