// A guard that turns a processor fault raised by code we call (an event
// sink, the reader object) into a recorded exception instead of the end of
// the process: the compiler has no __try, so a vectored handler jumps back
// to the guard's frame.
#pragma once

#include <windows.h>

namespace barcode {

// Runs body(context). When a fault is raised inside it, the rest of the body
// is skipped, the fault is recorded with HVTLogException and its code is
// returned; 0 when the body ran to its end. Stack objects of the body are
// abandoned without their destructors: keep owners outside the body.
DWORD RunGuarded(void (*body)(void* context), void* context) noexcept;

} // namespace barcode
