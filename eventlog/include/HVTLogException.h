// The exception filter that records a structured exception in the event log.
// Compiled into each component that uses it (link HVTEventLogHelpers).
#pragma once

#include <windows.h>

#include "HVTStructuredException.h"

// Stores the exception code through code, records the exception as an event
// (parameter 1 = the first exception parameter when there is one; parameter 2 =
// the second when there are exactly two), writes a debug-output line and
// answers EXCEPTION_EXECUTE_HANDLER.
LONG HVTLogException(const EXCEPTION_POINTERS* information, DWORD* code);

// The same for an exception raised by our own helpers.
LONG HVTLogException(const hvt::StructuredException& exception, DWORD* code);
