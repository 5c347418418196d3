// Several threads in two processes logging into one ring at once: the ring
// ends with exactly min(Q, total) whole records, in each thread's order.
#include "fresh_log.h"

#include <map>
#include <set>

#include "testsupport/child.h"

namespace {

using evtest::DwordValue;
using evtest::EventLogApi;

constexpr DWORD kThreads = 4;
constexpr DWORD kPerThread = 150;
constexpr DWORD kTotal = 2 * kThreads * kPerThread;
const wchar_t kGateName[] = L"HVTEventLogTests.StressGate";

// Every event says who logged it and carries a check value over the rest.
DWORD Code(DWORD sequence) {
    return 0xC12E0000 | sequence;
}
DWORD Who(DWORD process, DWORD thread) {
    return (process << 16) | thread;
}
DWORD Check(DWORD code, DWORD who) {
    return ~(code ^ who);
}

struct Logger {
    const EventLogApi* api;
    DWORD process;
    DWORD thread;
    HANDLE gate;
};

DWORD WINAPI LogThread(LPVOID parameter) {
    const Logger& logger = *static_cast<const Logger*>(parameter);
    ::WaitForSingleObject(logger.gate, INFINITE);
    DWORD failures = 0;
    for (DWORD i = 0; i < kPerThread; ++i) {
        const DWORD who = Who(logger.process, logger.thread);
        if (logger.api->LogEvent(Code(i), who, Check(Code(i), who)) != hvt::EVTLOG_SUCCESS) {
            ++failures;
        }
    }
    return failures;
}

// Runs kThreads logging threads of process number `process` once the gate
// opens; returns the number of failed calls.
DWORD RunLoggers(const EventLogApi& api, DWORD process, HANDLE gate) {
    Logger loggers[kThreads];
    common::UniqueKernel threads[kThreads];
    HANDLE handles[kThreads];
    for (DWORD t = 0; t < kThreads; ++t) {
        loggers[t] = {&api, process, t, gate};
        threads[t].reset(::CreateThread(nullptr, 0, LogThread, &loggers[t], 0, nullptr));
        handles[t] = threads[t].get();
    }
    ::WaitForMultipleObjects(kThreads, handles, TRUE, INFINITE);
    DWORD failures = 0;
    for (const common::UniqueKernel& thread : threads) {
        DWORD code = 1;
        ::GetExitCodeThread(thread.get(), &code);
        failures += code;
    }
    return failures;
}

int StressLogger(const std::vector<std::wstring>&) {
    EventLogApi api;
    common::UniqueKernel gate(::OpenEventW(SYNCHRONIZE, FALSE, kGateName));
    if (!api.loaded() || !gate) {
        return 2;
    }
    return static_cast<int>(RunLoggers(api, 2, gate.get()));
}
testsupport::ChildRegistration stressLogger(L"stress-logger", StressLogger);

// Logs from both processes at once and checks what the ring holds.
void LogFromTwoProcessesAndCheck(const EventLogApi& api, DWORD queueSize) {
    common::UniqueKernel gate(::CreateEventW(nullptr, TRUE, FALSE, kGateName));
    ASSERT_TRUE(gate);
    common::UniqueKernel child = evtest::StartLoggingChild(L"stress-logger", L"");
    ::SetEvent(gate.get());
    EXPECT_EQ(RunLoggers(api, 1, gate.get()), 0u);
    EXPECT_EQ(evtest::WaitForChild(child), 0u);

    std::vector<HVTEventRecord> records = api.Read();
    ASSERT_EQ(records.size(), std::min<size_t>(queueSize, kTotal));
    std::map<DWORD, DWORD> nextSequence; // per logging thread: lowest sequence still allowed
    std::set<DWORD> threadIds;
    for (const HVTEventRecord& record : records) {
        ASSERT_EQ(record.code & 0xFFFF0000, 0xC12E0000u);
        ASSERT_EQ(record.parameter2, Check(record.code, record.parameter1));
        const DWORD process = record.parameter1 >> 16;
        ASSERT_TRUE(process == 1 || process == 2);
        ASSERT_LT(record.parameter1 & 0xFFFF, kThreads);
        const DWORD sequence = record.code & 0xFFFF;
        ASSERT_GE(sequence, nextSequence[record.parameter1]) << "out of order or repeated";
        nextSequence[record.parameter1] = sequence + 1;
        threadIds.insert(record.threadId);
    }
    if (records.size() == kTotal) {
        EXPECT_EQ(threadIds.size(), 2 * kThreads);
        for (const auto& [who, next] : nextSequence) {
            EXPECT_EQ(next, kPerThread) << "logger " << who;
        }
    }
}

class Stress : public evtest::FreshLog {};

TEST_F(Stress, ASmallRingKeepsExactlyItsSizeInWholeRecords) {
    ConfigureQueueSize(DwordValue(50));
    InFreshProcess([](const EventLogApi& api) { LogFromTwoProcessesAndCheck(api, 50); });
}

TEST_F(Stress, ALargeRingKeepsEveryRecordOnce) {
    ConfigureQueueSize(DwordValue(2000));
    InFreshProcess([](const EventLogApi& api) { LogFromTwoProcessesAndCheck(api, 2000); });
}

} // namespace
