// The library's exports. Each one turns a structured exception raised inside
// it back into its status code; none lets a C++ exception leave the library.
#include <algorithm>

#include "HVTEventLog.h"
#include "HVTStructuredException.h"
#include "filter.h"
#include "shared_log.h"

using namespace hvt;
using hvt::log::LogLock;
using hvt::log::TheLog;

namespace {

// The value the lock-only exports return when the wait fails.
constexpr DWORD kWaitFailed = WAIT_FAILED;

void Append(log::RingHeader& ring, HVTEventRecord* slots, DWORD code, DWORD parameter1,
            DWORD parameter2) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    ring.tail = ring.tail == ring.last ? 0 : ring.tail + 1;
    if (ring.tail == ring.head) {
        ring.head = ring.head == ring.last ? 0 : ring.head + 1; // the oldest is overwritten
    } else {
        ++ring.count;
        if (ring.head == -1) {
            ring.head = 0;
        }
    }
    // Bytes 18 and 19 of the slot are left as they were.
    HVTEventRecord& slot = slots[ring.tail];
    slot.code = code;
    slot.parameter1 = parameter1;
    slot.parameter2 = parameter2;
    slot.year = static_cast<BYTE>(now.wYear - 1900);
    slot.monthWeekday = static_cast<BYTE>((now.wMonth << 4) | now.wDayOfWeek);
    slot.day = static_cast<BYTE>(now.wDay);
    slot.hour = static_cast<BYTE>(now.wHour);
    slot.minute = static_cast<BYTE>(now.wMinute);
    slot.second = static_cast<BYTE>(now.wSecond);
    slot.threadId = ::GetCurrentThreadId();
}

DWORD LogEvent(DWORD code, DWORD parameter1, DWORD parameter2) {
    log::SharedLog& shared = TheLog();
    LogLock lock(shared.Mutex());
    if (!lock.held()) {
        return EVTLOG_LOCK_FAILED;
    }
    // While the library is still attaching there may be no filter or ring yet:
    // its own early failures are then dropped, as an empty filter would.
    if (!shared.HasFilter() || !log::ShouldRecord(shared.Filter(), code)) {
        return EVTLOG_SUCCESS;
    }
    if (shared.Attached()) {
        Append(shared.Ring(), shared.Slots(), code, parameter1, parameter2);
    }
    return EVTLOG_SUCCESS;
}

WORD GetEventLog(HVTEventRecord* buffer, WORD maximum, BOOL restart, DWORD* status) {
    log::SharedLog& shared = TheLog();
    LogLock lock(shared.Mutex());
    if (!lock.held()) {
        *status = EVTLOG_LOCK_FAILED;
        return 0;
    }
    if (buffer == nullptr) {
        maximum = 0;
    }
    const log::RingHeader& ring = shared.Ring();
    const LONG q = ring.last + 1;
    LONG& cursor = shared.cursor;
    if (restart) {
        cursor = -1;
    }
    WORD n = 0;
    LONG index = 0;
    if (cursor != -1) {
        const WORD available =
            static_cast<WORD>(cursor <= ring.tail ? ring.tail - cursor : ring.tail - cursor + q);
        // A cursor that points outside the records held (the log was cleared,
        // or overwritten past it) would hand out stale slots: start again
        // from the oldest record instead.
        if (available <= ring.count) {
            n = std::min(maximum, available);
            index = cursor;
        } else {
            cursor = -1;
        }
    }
    if (cursor == -1) {
        n = std::min(maximum, ring.count);
        index = ring.head <= 0 ? ring.last : ring.head - 1;
    }
    for (WORD i = 0; i < n; ++i) {
        index = index == ring.last ? 0 : index + 1;
        buffer[i] = shared.Slots()[index];
    }
    if (n > 0) {
        cursor = index;
    }
    *status = EVTLOG_SUCCESS;
    return n;
}

DWORD SetEventFilter(DWORD version, const HVTFacilityFilter* entries, WORD entryCount,
                     WORD defaultClassMask, const DWORD* codes, WORD codeCount) {
    if (version != EventFilterVersion) {
        return EVTLOG_BAD_VERSION;
    }
    log::SharedLog& shared = TheLog();
    LogLock lock(shared.Mutex());
    if (!lock.held()) {
        return EVTLOG_LOCK_FAILED;
    }
    if (defaultClassMask >= 16) {
        return EVTLOG_BAD_CLASS_MASK;
    }
    if (entryCount > MaxFacilityEntries) {
        return EVTLOG_TOO_MANY_FACILITIES;
    }
    if (codeCount > MaxExplicitCodes) {
        return EVTLOG_TOO_MANY_CODES;
    }
    // A missing table that is said to hold entries would fault on reading:
    // refuse it with the access violation's code, before anything changes.
    if ((entries == nullptr && entryCount > 0) || (codes == nullptr && codeCount > 0)) {
        return static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION);
    }
    for (WORD i = 0; i < entryCount; ++i) {
        if (entries[i].facility > 0xFFF) {
            return EVTLOG_BAD_FACILITY;
        }
        if (entries[i].classMask > 15) {
            return EVTLOG_BAD_CLASS_MASK;
        }
    }
    HVTFilterBlock& filter = shared.Filter();
    filter.defaultClassMask = defaultClassMask;
    filter.facilityCount = entryCount;
    filter.codeCount = codeCount;
    std::copy(entries, entries + entryCount, filter.facilities);
    std::copy(codes, codes + codeCount, filter.codes);
    log::PersistFilter(filter);
    return EVTLOG_SUCCESS;
}

DWORD GetEventFilter(DWORD version, HVTFacilityFilter* entries, WORD entryCapacity,
                     WORD* entryCount, WORD* defaultClassMask, DWORD* codes, WORD codeCapacity,
                     WORD* codeCount) {
    if (version != EventFilterVersion) {
        return EVTLOG_BAD_VERSION;
    }
    log::SharedLog& shared = TheLog();
    LogLock lock(shared.Mutex());
    if (!lock.held()) {
        return EVTLOG_LOCK_FAILED;
    }
    const HVTFilterBlock& filter = shared.Filter();
    // A missing buffer holds nothing.
    if (entries == nullptr) {
        entryCapacity = 0;
    }
    if (codes == nullptr) {
        codeCapacity = 0;
    }
    if (entryCapacity < filter.facilityCount) {
        return EVTLOG_ENTRY_BUFFER_TOO_SMALL;
    }
    if (codeCapacity < filter.codeCount) {
        return EVTLOG_CODE_BUFFER_TOO_SMALL;
    }
    if (defaultClassMask != nullptr) {
        *defaultClassMask = filter.defaultClassMask;
    }
    std::copy(filter.facilities, filter.facilities + filter.facilityCount, entries);
    if (entryCount != nullptr) {
        *entryCount = filter.facilityCount;
    }
    std::copy(filter.codes, filter.codes + filter.codeCount, codes);
    if (codeCount != nullptr) {
        *codeCount = filter.codeCount;
    }
    return EVTLOG_SUCCESS;
}

// Runs body under the lock for the trace point and clear exports: 1 when done,
// the wait's failure value when the lock cannot be taken.
template <typename Body> DWORD UnderLock(Body body) {
    log::SharedLog& shared = TheLog();
    LogLock lock(shared.Mutex());
    if (!lock.held()) {
        return kWaitFailed;
    }
    body(shared);
    return 1;
}

// Every export runs its body here: a structured exception becomes its code.
template <typename Body> auto Guarded(DWORD failure, Body body) -> decltype(body()) {
    try {
        return body();
    } catch (const StructuredException& exception) {
        return static_cast<decltype(body())>(exception.code());
    } catch (...) {
        return static_cast<decltype(body())>(failure);
    }
}

} // namespace

DWORD WINAPI HVTLogEvent(DWORD code, DWORD parameter1, DWORD parameter2) {
    return Guarded(EVTLOG_LOCK_FAILED, [&] { return LogEvent(code, parameter1, parameter2); });
}

WORD WINAPI HVTGetEventLog(HVTEventRecord* buffer, WORD maximum, BOOL restart, DWORD /*ignored*/,
                           DWORD* status) {
    DWORD ignoredStatus = 0;
    DWORD* result = status != nullptr ? status : &ignoredStatus;
    try {
        return GetEventLog(buffer, maximum, restart, result);
    } catch (const StructuredException& exception) {
        *result = exception.code();
    } catch (...) {
        *result = EVTLOG_LOCK_FAILED;
    }
    return 0;
}

DWORD WINAPI HVTClearEventLog(void) {
    return Guarded(kWaitFailed, [] {
        return UnderLock([](log::SharedLog& shared) {
            log::RingHeader& ring = shared.Ring();
            ring.count = 0;
            ring.head = -1;
            ring.tail = ring.last;
        });
    });
}

DWORD WINAPI HVTSetEventFilter(DWORD version, const HVTFacilityFilter* entries, WORD entryCount,
                               WORD defaultClassMask, const DWORD* codes, WORD codeCount) {
    return Guarded(EVTLOG_LOCK_FAILED, [&] {
        return SetEventFilter(version, entries, entryCount, defaultClassMask, codes, codeCount);
    });
}

DWORD WINAPI HVTGetEventFilter(DWORD version, HVTFacilityFilter* entries, WORD entryCapacity,
                               WORD* entryCount, WORD* defaultClassMask, DWORD* codes,
                               WORD codeCapacity, WORD* codeCount) {
    return Guarded(EVTLOG_LOCK_FAILED, [&] {
        return GetEventFilter(version, entries, entryCapacity, entryCount, defaultClassMask, codes,
                              codeCapacity, codeCount);
    });
}

DWORD WINAPI HVTSetTracePointCriteria(DWORD criteria, DWORD type) {
    return Guarded(kWaitFailed, [&] {
        return UnderLock(
            [&](log::SharedLog& shared) { log::SetTracePoint(shared.Filter(), criteria, type); });
    });
}

DWORD WINAPI HVTGetTracePointCriteria(DWORD* criteria, DWORD* type) {
    return Guarded(kWaitFailed, [&] {
        return UnderLock([&](log::SharedLog& shared) {
            if (criteria != nullptr) {
                *criteria = shared.Filter().traceCriteria;
            }
            if (type != nullptr) {
                *type = shared.Filter().traceType;
            }
        });
    });
}

DWORD WINAPI HVTResetTracePoint(void) {
    return Guarded(kWaitFailed, [] {
        return UnderLock([](log::SharedLog& shared) { log::ResetTracePoint(shared.Filter()); });
    });
}

DWORD WINAPI HVTGetTracePointStatus(DWORD* state) {
    return Guarded(kWaitFailed, [&] {
        return UnderLock([&](log::SharedLog& shared) {
            if (state != nullptr) {
                *state = shared.Filter().traceState;
            }
        });
    });
}
