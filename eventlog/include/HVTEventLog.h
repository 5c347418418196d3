// The system-wide event log: exports of HVTEventLog.dll, the event record and
// the layout of event codes. Components link HVTEventLog and include this.
#pragma once

#include <windows.h>

#include <cstdint>

#ifdef HVTEVENTLOG_BUILD
#define HVTEVENTLOG_API extern "C" __declspec(dllexport)
#else
#define HVTEVENTLOG_API extern "C" __declspec(dllimport)
#endif

// An event code has the layout of a system status code: severity class in
// bits 31-30, facility in bits 27-16, code within the facility in bits 15-0.
namespace hvt {

enum Severity : DWORD {
    SeveritySuccess = 0,
    SeverityInformational = 1,
    SeverityWarning = 2,
    SeverityError = 3
};

constexpr DWORD MakeEventCode(DWORD severity, DWORD facility, DWORD code) {
    return (severity << 30) | ((facility & 0xFFF) << 16) | (code & 0xFFFF);
}
constexpr DWORD EventSeverity(DWORD event) {
    return event >> 30;
}
constexpr DWORD EventFacility(DWORD event) {
    return (event >> 16) & 0xFFF;
}
constexpr DWORD EventCodeNumber(DWORD event) {
    return event & 0xFFFF;
}

// Facilities used on the terminal.
constexpr DWORD FacilityEventLog = 0x103;     // this library's own status codes
constexpr DWORD FacilityTraceDefault = 0x104; // the default trace point criteria
constexpr DWORD FacilitySystem = 0x12E;       // registry helper, shared memory, process search
constexpr DWORD FacilityScannerLines = 0x162; // scan engine power and mode lines
constexpr DWORD FacilityBarcode = 0x199;      // barcode reader control
constexpr DWORD FacilityUpgrade = 0x2BB;      // scan engine upgrade

// The library's status results.
constexpr DWORD EVTLOG_SUCCESS = 0x01030001;
constexpr DWORD EVTLOG_BAD_CLASS_MASK = 0xC1030002;
constexpr DWORD EVTLOG_TOO_MANY_FACILITIES = 0xC1030003;
constexpr DWORD EVTLOG_TOO_MANY_CODES = 0xC1030004;
constexpr DWORD EVTLOG_BAD_FACILITY = 0xC1030005;
constexpr DWORD EVTLOG_CODE_BUFFER_TOO_SMALL = 0xC1030006;
constexpr DWORD EVTLOG_ENTRY_BUFFER_TOO_SMALL = 0xC1030007;
constexpr DWORD EVTLOG_MUTEX_CREATE_FAILED = 0xC103000A;
constexpr DWORD EVTLOG_LOCK_FAILED = 0xC103000C;
constexpr DWORD EVTLOG_BAD_VERSION = 0xC103000D;

} // namespace hvt

#pragma pack(push, 1)

// One event as the ring keeps it and HVTGetEventLog returns it (24 bytes).
struct HVTEventRecord {
    DWORD code;
    DWORD parameter1;
    DWORD parameter2;
    BYTE year;         // year - 1900, modulo 256
    BYTE monthWeekday; // month * 16 + day of week
    BYTE day;
    BYTE hour;
    BYTE minute;
    BYTE second;
    BYTE unused[2]; // never written
    DWORD threadId;
};
static_assert(sizeof(HVTEventRecord) == 24, "the event record is 24 bytes");

// One facility entry of the filter.
struct HVTFacilityFilter {
    WORD facility;
    WORD classMask;
};
static_assert(sizeof(HVTFacilityFilter) == 4, "a facility entry is 4 bytes");

#pragma pack(pop)

HVTEVENTLOG_API DWORD WINAPI HVTLogEvent(DWORD code, DWORD parameter1, DWORD parameter2);
HVTEVENTLOG_API WORD WINAPI HVTGetEventLog(HVTEventRecord* buffer, WORD maximum, BOOL restart,
                                           DWORD ignored, DWORD* status);
HVTEVENTLOG_API DWORD WINAPI HVTClearEventLog(void);
HVTEVENTLOG_API DWORD WINAPI HVTSetEventFilter(DWORD version, const HVTFacilityFilter* entries,
                                               WORD entryCount, WORD defaultClassMask,
                                               const DWORD* codes, WORD codeCount);
HVTEVENTLOG_API DWORD WINAPI HVTGetEventFilter(DWORD version, HVTFacilityFilter* entries,
                                               WORD entryCapacity, WORD* entryCount,
                                               WORD* defaultClassMask, DWORD* codes,
                                               WORD codeCapacity, WORD* codeCount);
HVTEVENTLOG_API DWORD WINAPI HVTSetTracePointCriteria(DWORD criteria, DWORD type);
HVTEVENTLOG_API DWORD WINAPI HVTGetTracePointCriteria(DWORD* criteria, DWORD* type);
HVTEVENTLOG_API DWORD WINAPI HVTResetTracePoint(void);
HVTEVENTLOG_API DWORD WINAPI HVTGetTracePointStatus(DWORD* state);
