#include <windows.h>

#include "HVTStructuredException.h"
#include "shared_log.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        ::DisableThreadLibraryCalls(instance);
        try {
            hvt::log::TheLog().Attach();
        } catch (...) {
            // The library refuses to load when its shared blocks cannot be had.
            hvt::log::TheLog().Detach();
            return FALSE;
        }
        return TRUE;
    case DLL_PROCESS_DETACH:
        hvt::log::TheLog().Detach();
        return TRUE;
    default:
        return TRUE;
    }
}
