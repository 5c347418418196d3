// How the viewer writes event records and filter settings for people.
#pragma once

#include <string>

#include "HVTEventLog.h"

namespace evtlog {

// One line: local time, thread, class, facility, code and both parameters.
std::string FormatRecord(const HVTEventRecord& record);

// "success", "info", "warning" or "error".
const char* ClassName(DWORD severity);

// "none", "centre", "stop", "start" (or the number for any other type).
std::string TraceTypeName(DWORD type);
std::string TraceStateName(DWORD state);

// A library status as text: "ok" or the code in hexadecimal.
std::string StatusText(DWORD status);

} // namespace evtlog
