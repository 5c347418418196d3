// The filter decision and the trace point, on the shared filter block. The
// caller holds the log's lock.
#pragma once

#include <windows.h>

#include "HVTEventLog.h"

namespace hvt::log {

// Decides whether event code v is recorded, moving the trace point on.
bool ShouldRecord(HVTFilterBlock& filter, DWORD v);

// Countdown = the value for the current type (type 0 leaves it), state = armed.
void ResetTracePoint(HVTFilterBlock& filter);

// Stores new criteria (resetting the trace point when they change) and a new
// type, adjusting the countdown and state so that a triggered trace point
// keeps what it has already recorded.
void SetTracePoint(HVTFilterBlock& filter, DWORD criteria, DWORD type);

} // namespace hvt::log
