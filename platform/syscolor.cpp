// System colours: the terminal's GetSysColor takes its index with or
// without the CE index flag.
#include "syscolor.h"

extern "C" DWORD WINAPI CeGetSysColor(int index) {
    return ::GetSysColor(index & ~SYS_COLOR_INDEX_FLAG);
}
