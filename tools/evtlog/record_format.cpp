#include "record_format.h"

#include <cstdio>

namespace evtlog {
namespace {

struct NamedValue {
    DWORD value;
    const char* name;
};

const NamedValue kClassNames[] = {
    {hvt::SeveritySuccess, "success"},
    {hvt::SeverityInformational, "info"},
    {hvt::SeverityWarning, "warning"},
    {hvt::SeverityError, "error"},
};

const NamedValue kTraceTypes[] = {
    {hvt::TraceNone, "none"},
    {hvt::TraceCentre, "centre"},
    {hvt::TraceStop, "stop"},
    {hvt::TraceStart, "start"},
};

const NamedValue kTraceStates[] = {
    {hvt::TraceArmed, "armed"},
    {hvt::TraceTriggered, "triggered"},
    {hvt::TraceStopped, "stopped"},
};

template <size_t N> std::string NameOf(const NamedValue (&table)[N], DWORD value) {
    for (const NamedValue& entry : table) {
        if (entry.value == value) {
            return entry.name;
        }
    }
    return std::to_string(value);
}

} // namespace

const char* ClassName(DWORD severity) {
    return kClassNames[severity & 3].name;
}

std::string FormatRecord(const HVTEventRecord& record) {
    char line[160];
    std::snprintf(line, sizeof(line),
                  "%04d-%02d-%02d %02d:%02d:%02d  thread 0x%08lX  %-7s  facility 0x%03lX  "
                  "code 0x%04lX  (0x%08lX)  p1 0x%08lX  p2 0x%08lX",
                  1900 + record.year, record.monthWeekday >> 4, record.day, record.hour,
                  record.minute, record.second, static_cast<unsigned long>(record.threadId),
                  ClassName(hvt::EventSeverity(record.code)),
                  static_cast<unsigned long>(hvt::EventFacility(record.code)),
                  static_cast<unsigned long>(hvt::EventCodeNumber(record.code)),
                  static_cast<unsigned long>(record.code),
                  static_cast<unsigned long>(record.parameter1),
                  static_cast<unsigned long>(record.parameter2));
    return line;
}

std::string TraceTypeName(DWORD type) {
    return NameOf(kTraceTypes, type);
}
std::string TraceStateName(DWORD state) {
    return NameOf(kTraceStates, state);
}

std::string StatusText(DWORD status) {
    if (status == hvt::EVTLOG_SUCCESS) {
        return "ok";
    }
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(status));
    return text;
}

} // namespace evtlog
