#include "filter.h"

#include <algorithm>

namespace hvt::log {
namespace {

bool FilterDecision(const HVTFilterBlock& filter, DWORD v) {
    const DWORD classBit = 1u << EventSeverity(v);
    const DWORD facility = EventFacility(v);
    bool inTable = false;
    for (WORD i = 0; i < filter.facilityCount && i < MaxFacilityEntries; ++i) {
        if (filter.facilities[i].facility == facility) {
            if (filter.facilities[i].classMask & classBit) {
                return true;
            }
            inTable = true; // the facility's own mask blocks this class
            break;
        }
    }
    if (!inTable && (filter.defaultClassMask & classBit)) {
        return true;
    }
    const DWORD* codes = filter.codes;
    const WORD codeCount = std::min(filter.codeCount, MaxExplicitCodes);
    return std::find(codes, codes + codeCount, v) != codes + codeCount;
}

} // namespace

bool ShouldRecord(HVTFilterBlock& filter, DWORD v) {
    bool record = FilterDecision(filter, v);
    if (filter.traceType == TraceNone) {
        return record;
    }
    if (filter.traceState == TraceArmed) {
        if (v == filter.traceCriteria || EventSeverity(v) == filter.traceCriteria) {
            filter.traceState = TraceTriggered;
            record = true;
        }
    }
    if (filter.traceState == TraceTriggered) {
        if (filter.traceCountdown < 0) {
            filter.traceState = TraceStopped;
            return false;
        }
        if (record) {
            --filter.traceCountdown;
        }
        return record;
    }
    if (filter.traceState == TraceStopped) {
        return false;
    }
    return record;
}

void ResetTracePoint(HVTFilterBlock& filter) {
    const LONG q = filter.queueSize;
    switch (filter.traceType) {
    case TraceCentre:
        filter.traceCountdown = q / 2;
        break;
    case TraceStop:
        filter.traceCountdown = 0;
        break;
    case TraceStart:
        filter.traceCountdown = q - 1;
        break;
    default:
        break;
    }
    filter.traceState = TraceArmed;
}

void SetTracePoint(HVTFilterBlock& filter, DWORD criteria, DWORD type) {
    if (criteria != filter.traceCriteria) {
        filter.traceCriteria = criteria;
        ResetTracePoint(filter); // by the type in force before this call
    }
    const DWORD oldType = filter.traceType;
    filter.traceType = type;
    if (filter.traceState == TraceStopped) {
        return;
    }
    const bool triggered = filter.traceState == TraceTriggered;
    const WORD q = filter.queueSize;
    const WORD half = q / 2;
    LONG& countdown = filter.traceCountdown;
    switch (type) {
    case TraceNone:
        if (oldType == TraceStop) {
            countdown = 0;
        } else if (oldType == TraceCentre) {
            countdown = half;
        } else if (oldType == TraceStart) {
            countdown = q;
        }
        filter.traceState = TraceArmed;
        break;
    case TraceCentre:
        if (!triggered) {
            countdown = half;
        } else if (oldType == TraceStop) {
            countdown = half - 1;
        } else if (oldType == TraceStart) {
            // Events already kept since the trigger.
            const WORD kept = std::min<WORD>(static_cast<WORD>(q - countdown), q);
            if (kept > half) {
                countdown = -1;
                filter.traceState = TraceStopped;
            } else {
                countdown = half - kept;
            }
        }
        break;
    case TraceStop:
        if (!triggered) {
            countdown = 0;
        } else {
            countdown = -1;
            filter.traceState = TraceStopped;
        }
        break;
    case TraceStart:
        if (!triggered) {
            countdown = q - 1;
        } else if (oldType == TraceStop) {
            countdown = q - 1;
        } else if (oldType == TraceCentre) {
            const WORD kept = std::min<WORD>(static_cast<WORD>(half - countdown), half);
            countdown = q - kept - 1;
        }
        break;
    default:
        break; // stored, no other effect
    }
}

} // namespace hvt::log
