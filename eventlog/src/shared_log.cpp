#include "shared_log.h"

#include <cwchar>

#include "CRegistry.h"
#include "HVTStructuredException.h"

namespace hvt::log {
namespace {

const wchar_t kMutexName[] = L"HVTSNMPTrapMuxObject";
const wchar_t kSizeBlockName[] = L"EVTLOG_QUEUELOG_SIZE";
const wchar_t kFilterBlockName[] = L"EVTLOG_LOG_FILTR2";
const wchar_t kRingBlockName[] = L"EVTLOG_LOG_QUEUE";

SharedBlock OpenBlock(const wchar_t* name, DWORD size) {
    SharedBlock block;
    block.mapping.reset(
        ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name));
    if (!block.mapping) {
        RaiseSystemError(EVTLOG_MAPPING_FAILED, ::GetLastError());
    }
    block.created = ::GetLastError() != ERROR_ALREADY_EXISTS;
    block.view.reset(::MapViewOfFile(block.mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!block.view) {
        RaiseSystemError(EVTLOG_VIEW_FAILED, ::GetLastError());
    }
    return block;
}

DWORD RingBytes(WORD queueSize) {
    return DWORD{queueSize} * sizeof(HVTEventRecord) + 40;
}

// A stored block is taken only when its counts fit its tables and its value
// name is terminated: the filter walks those tables on every event.
bool PlausibleFilter(const HVTFilterBlock& block) {
    return block.facilityCount <= MaxFacilityEntries && block.codeCount <= MaxExplicitCodes &&
           std::wmemchr(block.valueName, L'\0', 15) != nullptr && block.valueName[0] != L'\0';
}

void SetDefaultFilter(HVTFilterBlock& filter) {
    filter.facilityCount = 0;
    filter.defaultClassMask = DefaultClassMask;
    filter.codeCount = 0;
}

} // namespace

SharedLog& TheLog() {
    static SharedLog log;
    return log;
}

WORD SharedLog::DecideQueueSize() {
    DWORD stored = 0;
    try {
        CRegistry harvanti(true);
        harvanti.Open(HKEY_LOCAL_MACHINE, L"Software\\Harvanti");
        CRegistry eventLog(true);
        eventLog.Open(harvanti.Key(), L"EventLog");
        eventLog.QueryDword(QueueSizeValue, &stored);
    } catch (const StructuredException&) {
        return DefaultQueueSize;
    }
    // A size of 0 would make a ring with no slots.
    WORD size = LOWORD(stored);
    return size != 0 ? size : DefaultQueueSize;
}

bool SharedLog::LoadFilter() {
    HVTFilterBlock stored{};
    try {
        CRegistry key(true);
        key.Create(HKEY_LOCAL_MACHINE, EventLogKey);
        if (!key.QueryBinary(EventFilterValue, &stored, sizeof(stored))) {
            return false;
        }
    } catch (const StructuredException&) {
        return false;
    }
    if (!PlausibleFilter(stored)) {
        HVTLogEvent(REGISTRY_WRONG_TYPE, stored.facilityCount, stored.codeCount);
        return false;
    }
    Filter() = stored;
    return true;
}

void SharedLog::MapRing() {
    try {
        ring_ = OpenBlock(kRingBlockName, RingBytes(queueSize_));
    } catch (const StructuredException&) {
        queueSize_ = DefaultQueueSize;
        *static_cast<DWORD*>(size_.view.get()) = queueSize_;
        ring_ = OpenBlock(kRingBlockName, RingBytes(queueSize_));
    }
    if (ring_.created) {
        RingHeader& ring = Ring();
        ring.head = -1;
        ring.last = queueSize_ - 1;
        ring.tail = ring.last;
        ring.count = 0;
        ring.queueSize = queueSize_;
    }
}

void SharedLog::Attach() {
    mutex_.reset(::CreateMutexW(nullptr, FALSE, kMutexName));
    if (!mutex_) {
        RaiseSystemError(EVTLOG_MUTEX_CREATE_FAILED, ::GetLastError());
    }
    // The first process sets the blocks up under the lock, so that a second
    // process never sees a size or a filter that is not there yet.
    LogLock lock(mutex_.get());

    size_ = OpenBlock(kSizeBlockName, sizeof(DWORD));
    DWORD& sharedSize = *static_cast<DWORD*>(size_.view.get());
    if (size_.created) {
        sharedSize = DecideQueueSize();
    }
    queueSize_ = LOWORD(sharedSize) != 0 ? LOWORD(sharedSize) : DefaultQueueSize;

    filter_ = OpenBlock(kFilterBlockName, sizeof(HVTFilterBlock));
    bool defaultFilter = false;
    if (filter_.created) {
        HVTFilterBlock& filter = Filter();
        filter.traceCriteria = DefaultTraceCriteria;
        filter.traceType = TraceNone;
        filter.traceCountdown = 0;
        filter.traceState = TraceArmed;
        filter.queueSize = 0;
        if (!LoadFilter()) {
            std::wcscpy(filter.valueName, EventFilterValue);
            filter.facilityCount = 0;
            filter.codeCount = 0;
            filter.reserved1 = 0;
            defaultFilter = true;
        }
    }

    MapRing();
    Filter().queueSize = queueSize_;
    if (defaultFilter) {
        SetDefaultFilter(Filter());
        PersistFilter(Filter());
    }
    cursor = -1;
}

void SharedLog::Detach() noexcept {
    ring_ = SharedBlock{};
    filter_ = SharedBlock{};
    size_ = SharedBlock{};
    mutex_.reset();
}

void PersistFilter(const HVTFilterBlock& filter) {
    try {
        CRegistry key(true);
        key.Create(HKEY_LOCAL_MACHINE, EventLogKey);
        key.SetBinary(filter.valueName, &filter, sizeof(filter));
    } catch (const StructuredException& failure) {
        HVTLogEvent(REGISTRY_SET_FAILED, static_cast<DWORD>(failure.parameter(0)), 0);
    }
}

} // namespace hvt::log
