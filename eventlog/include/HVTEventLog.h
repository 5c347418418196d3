// The system-wide event log: exports of HVTEventLog.dll, the event record and
// the layout of event codes. Components link HVTEventLog and include this;
// HVTLogException.h and CRegistry.h come with the same link.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// The library exports its functions by plain names through its .def file.
#ifdef HVTEVENTLOG_BUILD
#define HVTEVENTLOG_API extern "C"
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

// Facility 0x12E: the registry helper and the shared memory of this library.
constexpr DWORD EVTLOG_VIEW_FAILED = 0xC12E0001;    // mapping a shared block into view
constexpr DWORD EVTLOG_MAPPING_FAILED = 0xC12E0002; // creating a shared block
constexpr DWORD REGISTRY_CREATE_FAILED = 0xC12E000A;
constexpr DWORD REGISTRY_SET_FAILED = 0xC12E000B;
constexpr DWORD REGISTRY_QUERY_FAILED = 0xC12E000C;
constexpr DWORD REGISTRY_WRONG_TYPE = 0xC12E000D; // value of the wrong type or size
constexpr DWORD REGISTRY_OPEN_FAILED = 0xC12E000E;

// Facility 0x12E: the upgrade utility's search for the data server process.
constexpr DWORD PROCESS_SEARCH_BEGIN = 0x412E0001;
constexpr DWORD PROCESS_SEARCH_END = 0x412E0002;
constexpr DWORD PROCESS_FIRST_ENTRY_BEGIN = 0x412E0003;
constexpr DWORD PROCESS_FIRST_ENTRY_END = 0x412E0004;
constexpr DWORD PROCESS_SNAPSHOT_BEGIN = 0x412E0009;
constexpr DWORD PROCESS_SNAPSHOT_END = 0x412E000A;
constexpr DWORD PROCESS_LIST_END = 0x412E000B;
constexpr DWORD PROCESS_WALK_ON = 0x00000000;
constexpr DWORD PROCESS_MATCH_FOUND = 0x012E0002;
constexpr DWORD PROCESS_SNAPSHOT_FAILED = 0xC12E0037;
constexpr DWORD PROCESS_NOT_FOUND = 0xC12E0038;
constexpr DWORD PROCESS_SEARCH_FAILED = 0xC12E0039;

// Trace point types and states.
enum TraceType : DWORD { TraceNone = 0, TraceCentre = 1, TraceStop = 2, TraceStart = 3 };
enum TraceState : DWORD { TraceArmed = 0, TraceTriggered = 1, TraceStopped = 2 };
constexpr DWORD DefaultTraceCriteria = 0x41040004;

// The one filter structure version the library accepts.
constexpr DWORD EventFilterVersion = 1;
constexpr WORD MaxFacilityEntries = 10;
constexpr WORD MaxExplicitCodes = 20;
constexpr WORD DefaultQueueSize = 400;
constexpr WORD DefaultClassMask = 0x0C; // warnings and errors

// Where the log keeps its configuration (HKEY_LOCAL_MACHINE).
constexpr const wchar_t* EventLogKey = L"Software\\Harvanti\\EventLog";
constexpr const wchar_t* QueueSizeValue = L"QueueSize";
constexpr const wchar_t* EventFilterValue = L"EventFilter";

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
static_assert(offsetof(HVTEventRecord, year) == 12);
static_assert(offsetof(HVTEventRecord, second) == 17);
static_assert(offsetof(HVTEventRecord, threadId) == 20);

// One facility entry of the filter.
struct HVTFacilityFilter {
    WORD facility;
    WORD classMask;
};
static_assert(sizeof(HVTFacilityFilter) == 4, "a facility entry is 4 bytes");

// The filter and trace point as the shared block "EVTLOG_LOG_FILTR2" holds them
// and as the registry value "EventFilter" stores them (180 bytes).
struct HVTFilterBlock {
    HVTFacilityFilter facilities[10];
    WORD facilityCount;
    WORD defaultClassMask; // bit n: severity class n is recorded
    DWORD codes[20];       // always recorded
    WORD codeCount;
    wchar_t valueName[15]; // the registry value that holds this block
    WORD reserved1;
    WORD alignment;      // keeps the trace point fields on 4-byte boundaries
    DWORD traceCriteria; // an event code, or a severity class 0-3
    DWORD traceType;
    LONG traceCountdown;
    DWORD traceState;
    WORD queueSize;
    WORD reserved2;
};
static_assert(sizeof(HVTFilterBlock) == 180, "the filter block is 180 bytes");
static_assert(offsetof(HVTFilterBlock, facilityCount) == 40);
static_assert(offsetof(HVTFilterBlock, codes) == 44);
static_assert(offsetof(HVTFilterBlock, codeCount) == 124);
static_assert(offsetof(HVTFilterBlock, valueName) == 126);
static_assert(offsetof(HVTFilterBlock, traceCriteria) == 160);
static_assert(offsetof(HVTFilterBlock, queueSize) == 176);

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
