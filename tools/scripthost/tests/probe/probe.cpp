// The probe's class and its server's entry points.
#include "frame/module.h"
#include "frame/object.h"
#include "scripthost_probe.h"

namespace {

class HostProbe final : public frame::Object<HostProbe, IHostProbe> {
public:
    static const frame::ObjectClass& Class() {
        static const frame::ObjectClass cls = {&CLSID_HostProbe, &IID_IHostProbe,
                                               &DIID__IHostProbeEvents};
        return cls;
    }

    // Fires Asked with the text by reference; answers what the handlers left.
    HRESULT STDMETHODCALLTYPE Ask(BSTR text, BSTR* answer) override {
        if (answer == nullptr) {
            return E_POINTER;
        }
        BSTR asked = ::SysAllocStringLen(text, ::SysStringLen(text));
        VARIANT arg;
        arg.vt = VT_BYREF | VT_BSTR;
        arg.pbstrVal = &asked;
        FireEvent(1, {arg});
        *answer = asked;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Ring(LONG value) override {
        VARIANT arg;
        arg.vt = VT_I4;
        arg.lVal = value;
        FireEvent(2, {arg});
        return S_OK;
    }
};

const frame::ClassEntry kClasses[] = {
    {&CLSID_HostProbe, 101, &frame::CreateInstance<HostProbe>},
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
