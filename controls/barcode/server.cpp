// HVTAXBarCodeReader's server entry points.
#include "HVTEventLog.h"
#include "barcode_control.h"
#include "barcode_events.h"
#include "frame/module.h"
#include "property_pages.h"
#include "resource.h"

namespace {

const frame::ClassEntry kClasses[] = {
    {&CLSID_HVTAXBarCode, IDR_HVTAXBARCODE, &frame::CreateInstance<HVTAXBarCode>},
    {&CLSID_BarCodePropPage, IDR_BARCODEPROPPAGE, &frame::CreateInstance<BarCodePropPage>},
    {&CLSID_BarCodeGridPropPage, IDR_BARCODEGRIDPROPPAGE,
     &frame::CreateInstance<BarCodeGridPropPage>},
};

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(instance);
        // The log keeps 32 bits of the module handle.
        HVTLogEvent(hvt::barcode::LibraryLoaded,
                    static_cast<DWORD>(reinterpret_cast<UINT_PTR>(instance)), 0);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
    HVTLogEvent(hvt::barcode::CanUnloadAsked, static_cast<DWORD>(frame::module::LockCount()), 0);
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
