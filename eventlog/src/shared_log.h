// This process's attachment to the log's shared blocks and its lock.
#pragma once

#include <windows.h>

#include "HVTEventLog.h"
#include "common/handle.h"

namespace hvt::log {

#pragma pack(push, 1)
// Header of the ring "EVTLOG_LOG_QUEUE"; Q record slots follow it.
struct RingHeader {
    LONG head;  // slot of the oldest record; -1 when the log is empty
    LONG tail;  // slot of the newest record
    LONG last;  // Q - 1
    WORD count; // records held, grows to Q
    WORD queueSize;
};
#pragma pack(pop)
static_assert(sizeof(RingHeader) == 16, "the ring header is 16 bytes");

// One named shared-memory block mapped into this process.
struct SharedBlock {
    common::UniqueKernel mapping;
    common::UniqueView view;
    bool created = false;
};

class SharedLog {
public:
    // Creates or opens the mutex and the three blocks; the first process also
    // decides Q and loads the filter. Raises StructuredException on failure.
    void Attach();
    void Detach() noexcept;

    bool Attached() const noexcept { return ring_.view.valid(); }
    bool HasFilter() const noexcept { return filter_.view.valid(); }
    HANDLE Mutex() const noexcept { return mutex_.get(); }
    HVTFilterBlock& Filter() const noexcept {
        return *static_cast<HVTFilterBlock*>(filter_.view.get());
    }
    RingHeader& Ring() const noexcept { return *static_cast<RingHeader*>(ring_.view.get()); }
    HVTEventRecord* Slots() const noexcept {
        return reinterpret_cast<HVTEventRecord*>(static_cast<BYTE*>(ring_.view.get()) +
                                                 sizeof(RingHeader));
    }
    WORD QueueSize() const noexcept { return queueSize_; }

    // Slot of the last record this process has read; -1 = start from the oldest.
    LONG cursor = -1;

private:
    WORD DecideQueueSize();
    bool LoadFilter();
    void MapRing();

    common::UniqueKernel mutex_;
    SharedBlock size_;
    SharedBlock filter_;
    SharedBlock ring_;
    WORD queueSize_ = DefaultQueueSize;
};

SharedLog& TheLog();

// Writes the whole filter block to the registry value that the block names.
// A failure is recorded as an event; the filter in memory stays in force.
void PersistFilter(const HVTFilterBlock& filter);

// Holds the log's mutex for a scope. held() is false when the wait failed.
class LogLock {
public:
    explicit LogLock(HANDLE mutex) noexcept : hold_(Acquire(mutex)) {}
    bool held() const noexcept { return hold_.held(); }

private:
    static HANDLE Acquire(HANDLE mutex) noexcept {
        DWORD waited = ::WaitForSingleObject(mutex, INFINITE);
        // An abandoned mutex is ours all the same.
        return waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED ? mutex : nullptr;
    }

    common::MutexHold hold_;
};

} // namespace hvt::log
