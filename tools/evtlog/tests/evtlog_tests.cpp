// evtlog.exe as a person uses it: each run is its own process, so what one run
// changes reaches the next through the registry or a log held open by another.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

#include "HVTEventLog.h"
#include "common/handle.h"
#include "record_format.h"
#include "testsupport/paths.h"

namespace {

struct RunResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;
};

// Starts evtlog.exe with args, its output going into a pipe.
common::UniqueKernel StartEvtlog(const std::string& args, common::UniqueKernel* outputRead) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    common::UniqueKernel write;
    if (!::CreatePipe(outputRead->put(), write.put(), &inherit, 0)) {
        return {};
    }
    ::SetHandleInformation(outputRead->get(), HANDLE_FLAG_INHERIT, 0);
    std::wstring commandLine = L"\"" + testsupport::ProgramFolder() + L"evtlog.exe\" " +
                               std::wstring(args.begin(), args.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write.get();
    startup.hStdError = write.get();
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return {};
    }
    ::CloseHandle(info.hThread);
    return common::UniqueKernel(info.hProcess);
}

// Reads one line (without its line end) from a pipe, waiting for it.
std::string ReadLine(HANDLE pipe) {
    std::string line;
    char c = 0;
    DWORD got = 0;
    while (::ReadFile(pipe, &c, 1, &got, nullptr) && got == 1 && c != '\n') {
        if (c != '\r') {
            line += c;
        }
    }
    return line;
}

RunResult RunEvtlog(const std::string& args) {
    common::UniqueKernel read;
    common::UniqueKernel process = StartEvtlog(args, &read);
    RunResult run;
    if (!process) {
        ADD_FAILURE() << "evtlog.exe did not start";
        return run;
    }
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(read.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        run.output.append(buffer, got);
    }
    ::WaitForSingleObject(process.get(), 30000);
    ::GetExitCodeProcess(process.get(), &run.exitCode);
    return run;
}

// Puts the stored filter back after a case that sets one.
class EventFilterRestore {
public:
    EventFilterRestore() {
        DWORD size = sizeof(saved_);
        had_ = ::RegGetValueW(HKEY_LOCAL_MACHINE, hvt::EventLogKey, hvt::EventFilterValue,
                              RRF_RT_REG_BINARY, nullptr, &saved_, &size) == ERROR_SUCCESS &&
               size == sizeof(saved_);
    }
    ~EventFilterRestore() {
        common::UniqueKey key;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, hvt::EventLogKey, 0, KEY_WRITE, key.put()) !=
            ERROR_SUCCESS) {
            return;
        }
        if (had_) {
            ::RegSetValueExW(key.get(), hvt::EventFilterValue, 0, REG_BINARY,
                             reinterpret_cast<const BYTE*>(&saved_), sizeof(saved_));
        } else {
            ::RegDeleteValueW(key.get(), hvt::EventFilterValue);
        }
    }

private:
    HVTFilterBlock saved_{};
    bool had_ = false;
};

TEST(EvtlogFormat, ARecordIsOneLineWithTimeThreadClassFacilityCodeAndParameters) {
    HVTEventRecord record{};
    record.code = 0xC2BB002D;
    record.parameter1 = 0x100;
    record.parameter2 = 7;
    record.year = 126;
    record.monthWeekday = (12 << 4) | 1;
    record.day = 7;
    record.hour = 9;
    record.minute = 5;
    record.second = 3;
    record.threadId = 0x2C;
    EXPECT_EQ(evtlog::FormatRecord(record),
              "2026-12-07 09:05:03  thread 0x0000002C  error    facility 0x2BB  code 0x002D  "
              "(0xC2BB002D)  p1 0x00000100  p2 0x00000007");
}

TEST(Evtlog, DumpShowsWhatAnotherProcessLogged) {
    // A follower keeps the log alive between the runs below.
    common::UniqueKernel followerOutput;
    common::UniqueKernel follower = StartEvtlog("follow 60", &followerOutput);
    ASSERT_TRUE(follower);
    std::string following = ReadLine(followerOutput.get());
    ASSERT_EQ(following.rfind("following the event log", 0), 0u) << following;

    RunResult logged = RunEvtlog("log 0xC2BB002D 7 0x1234");
    EXPECT_EQ(logged.exitCode, 0u) << logged.output;
    RunResult dump = RunEvtlog("dump");
    // The follower shows the new record too.
    EXPECT_NE(ReadLine(followerOutput.get()).find("(0xC2BB002D)  p1 0x00000007"),
              std::string::npos);
    ::TerminateProcess(follower.get(), 0);
    ::WaitForSingleObject(follower.get(), 10000);

    EXPECT_EQ(dump.exitCode, 0u);
    EXPECT_NE(dump.output.find("error    facility 0x2BB  code 0x002D  (0xC2BB002D)  p1 0x00000007  "
                               "p2 0x00001234"),
              std::string::npos)
        << dump.output;
    EXPECT_NE(dump.output.find(" record(s)"), std::string::npos);
}

TEST(Evtlog, AFilterSetInOneRunIsInForceInTheNext) {
    EventFilterRestore restore;
    RunResult set = RunEvtlog("filter set 0x8 0x2BB:0x2 0xC1990001");
    EXPECT_EQ(set.exitCode, 0u) << set.output;

    RunResult shown = RunEvtlog("filter");
    EXPECT_EQ(shown.exitCode, 0u);
    EXPECT_NE(shown.output.find("default class mask 0x8: error"), std::string::npos)
        << shown.output;
    EXPECT_NE(shown.output.find("facility 0x2BB  class mask 0x2"), std::string::npos);
    EXPECT_NE(shown.output.find("0xC1990001"), std::string::npos);
}

TEST(Evtlog, ARefusedFilterIsReported) {
    EventFilterRestore restore;
    RunResult refused = RunEvtlog("filter set 0x10");
    EXPECT_EQ(refused.exitCode, 1u);
    EXPECT_NE(refused.output.find("refused: 0xC1030002"), std::string::npos) << refused.output;
}

TEST(Evtlog, TraceSetShowsTheTracePoint) {
    RunResult trace = RunEvtlog("trace set 3 2");
    EXPECT_EQ(trace.exitCode, 0u);
    EXPECT_NE(trace.output.find("trace point: criteria 0x00000003, type stop, armed"),
              std::string::npos)
        << trace.output;
}

TEST(Evtlog, UnknownCommandsAndBadNumbersPrintUsage) {
    for (const char* args : {"frobnicate", "log", "log 12x", "trace set 3"}) {
        RunResult run = RunEvtlog(args);
        EXPECT_EQ(run.exitCode, 2u) << args;
        EXPECT_FALSE(run.output.empty()) << args;
    }
}

} // namespace
