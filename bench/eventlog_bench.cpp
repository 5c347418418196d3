// What HVTLogEvent costs, as a ratio to one bare wait and release of the
// log's own named mutex: for an event the filter records and one it drops.
#include <windows.h>

#include <cstdio>

#include "HVTEventLog.h"
#include "common/handle.h"
#include "best_time.h"

namespace {

constexpr int kCalls = 20000;           // a named mutex is a kernel round trip: keep the run short
constexpr DWORD kRecorded = 0xC1030FFF; // an error: recorded by an errors-only filter
constexpr DWORD kDropped = 0x41030FFF;  // informational: dropped by it

// The best of a few rounds.
template <typename Call> double NanosecondsPerCall(Call call) {
    constexpr int kRounds = 5;
    bench::BestTime best;
    for (int round = 0; round < kRounds; ++round) {
        const double start = bench::Now();
        for (int i = 0; i < kCalls / kRounds; ++i) {
            call(i);
        }
        best.Add(bench::Now() - start);
    }
    return best.seconds() * 1e9 / (kCalls / kRounds);
}

// The filter in force before the benchmark, put back afterwards.
struct SavedFilter {
    HVTFacilityFilter entries[hvt::MaxFacilityEntries];
    DWORD codes[hvt::MaxExplicitCodes];
    WORD entryCount = 0, mask = 0, codeCount = 0;
};

} // namespace

int main() {
    common::UniqueKernel mutex(
        ::OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, L"HVTSNMPTrapMuxObject"));
    SavedFilter saved;
    if (!mutex ||
        HVTGetEventFilter(hvt::EventFilterVersion, saved.entries, hvt::MaxFacilityEntries,
                          &saved.entryCount, &saved.mask, saved.codes, hvt::MaxExplicitCodes,
                          &saved.codeCount) != hvt::EVTLOG_SUCCESS) {
        std::fputs("eventlog_bench: the event log is not available\n", stderr);
        return 1;
    }
    DWORD criteria = 0, type = 0;
    HVTGetTracePointCriteria(&criteria, &type);
    if (type != hvt::TraceNone) {
        std::puts("note: a trace point is set; recorded events may be dropped by it");
    }
    HVTSetEventFilter(hvt::EventFilterVersion, nullptr, 0, 0x08, nullptr, 0);

    const double bare = NanosecondsPerCall([&](int) {
        ::WaitForSingleObject(mutex.get(), INFINITE);
        ::ReleaseMutex(mutex.get());
    });
    const double recorded =
        NanosecondsPerCall([](int i) { HVTLogEvent(kRecorded, static_cast<DWORD>(i), 0); });
    const double dropped =
        NanosecondsPerCall([](int i) { HVTLogEvent(kDropped, static_cast<DWORD>(i), 0); });

    HVTSetEventFilter(hvt::EventFilterVersion, saved.entries, saved.entryCount, saved.mask,
                      saved.codes, saved.codeCount);

    std::printf("HVTLogEvent, %d calls each\n", kCalls);
    std::printf("  bare mutex wait+release: %8.0f ns\n", bare);
    std::printf("  recorded event:          %8.0f ns  ratio %.2f\n", recorded, recorded / bare);
    std::printf("  dropped event:           %8.0f ns  ratio %.2f\n", dropped, dropped / bare);
    std::puts("(the log now holds the benchmark's recorded events)");
    return 0;
}
