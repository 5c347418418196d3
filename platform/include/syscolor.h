// System colours under their Windows CE index form. On the terminal a
// system colour index may carry SYS_COLOR_INDEX_FLAG; GetSysColor there
// accepts both forms, a desktop's refuses the flagged one.
#pragma once

#include <windows.h>

#include "ceplatform.h"

constexpr int SYS_COLOR_INDEX_FLAG = 0x40000000;

// GetSysColor that accepts the flagged index (and the plain one).
CEPLATFORM_API DWORD WINAPI CeGetSysColor(int index);
