// The sample server's entry points.
#include "counter.h"
#include "frame/module.h"
#include "resource.h"
#include "sample.h"

namespace {

const frame::ClassEntry kClasses[] = {
    {&CLSID_Sample, IDR_SAMPLE, &frame::CreateInstance<Sample>},
    {&CLSID_Counter, IDR_COUNTER, &frame::CreateInstance<Counter>},
    {&CLSID_InvisibleSample, 0, &Sample::CreateInvisible},
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
