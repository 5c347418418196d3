#include <gtest/gtest.h>

#include <vector>

#include "HVTEventLog.h"
#include "data_server.h"
#include "event_capture.h"
#include "testsupport/import_patch.h"
#include "testsupport/paths.h"
#include "utility_log.h"

namespace {

std::vector<HVTEventRecord> Events() {
    std::vector<HVTEventRecord> records(2000);
    DWORD status = 0;
    const WORD count =
        HVTGetEventLog(records.data(), static_cast<WORD>(records.size()), TRUE, 0, &status);
    records.resize(count);
    return records;
}

const HVTEventRecord* LastEvent(const std::vector<HVTEventRecord>& records, DWORD code) {
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        if (it->code == code && it->threadId == ::GetCurrentThreadId()) {
            return &*it;
        }
    }
    return nullptr;
}

std::wstring OwnImageName() {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return wcsrchr(self, L'\\') + 1;
}

std::vector<DWORD> Codes(const std::vector<RaisedEvent>& events) {
    std::vector<DWORD> codes;
    for (const RaisedEvent& event : events) {
        codes.push_back(event.code);
    }
    return codes;
}

// Stands in for a snapshot that the system refuses, with the reason chosen by
// the test.
DWORD snapshotError = 0;
HANDLE WINAPI RefusedSnapshot(DWORD, DWORD) {
    ::SetLastError(snapshotError);
    return INVALID_HANDLE_VALUE;
}

// The search events (facility 0x12E, and the walking-on code 0) of one search.
class ProcessSearchEvents : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(capture_.Start({0x000, 0x12E})); }
    std::vector<RaisedEvent> Search(const wchar_t* imageName, LONG* result) {
        capture_.Events();
        *result = q4mutil::FindProcess(imageName);
        return capture_.Events();
    }
    EventCapture capture_;
};

} // namespace

TEST_F(ProcessSearchEvents, MatchIsRaisedWithTheNumberOfEntriesSkipped) {
    LONG result = 0;
    const auto events = Search(OwnImageName().c_str(), &result);
    EXPECT_EQ(static_cast<DWORD>(result), hvt::PROCESS_MATCH_FOUND);
    const std::vector<DWORD> codes = Codes(events);
    ASSERT_GE(codes.size(), 7u);
    const std::vector<DWORD> start(codes.begin(), codes.begin() + 5);
    EXPECT_EQ(start, (std::vector<DWORD>{hvt::PROCESS_SEARCH_BEGIN, hvt::PROCESS_SNAPSHOT_BEGIN,
                                         hvt::PROCESS_SNAPSHOT_END, hvt::PROCESS_FIRST_ENTRY_BEGIN,
                                         hvt::PROCESS_FIRST_ENTRY_END}));
    // One walking-on event for each entry passed over, then the match.
    DWORD walked = 0;
    size_t at = 5;
    for (; at < codes.size() && codes[at] == hvt::PROCESS_WALK_ON; ++at) {
        ++walked;
    }
    ASSERT_EQ(codes.size(), at + 2);
    EXPECT_EQ(codes[at], hvt::PROCESS_MATCH_FOUND);
    EXPECT_EQ(events[at].parameter2, walked);
    EXPECT_EQ(codes[at + 1], hvt::PROCESS_SEARCH_END);
}

TEST_F(ProcessSearchEvents, EndOfTheListIsRaisedAsNotFoundAndTheSearchFails) {
    LONG result = 0;
    const auto events = Search(L"NoSuchDataServer.exe", &result);
    EXPECT_EQ(static_cast<DWORD>(result), hvt::PROCESS_NOT_FOUND);
    ASSERT_GE(events.size(), 4u);
    const std::vector<RaisedEvent> end(events.end() - 4, events.end());
    EXPECT_EQ(end[0].code, hvt::PROCESS_LIST_END);
    EXPECT_EQ(end[1], (RaisedEvent{hvt::PROCESS_NOT_FOUND, hvt::PROCESS_NOT_FOUND, 18}));
    EXPECT_EQ(end[2].code, hvt::PROCESS_SEARCH_FAILED);
    EXPECT_EQ(end[2].parameter1, hvt::PROCESS_NOT_FOUND);
    EXPECT_EQ(end[3].code, hvt::PROCESS_SEARCH_END);
}

TEST_F(ProcessSearchEvents, RefusedSnapshotFailsTheSearchWithItsSiteAndReason) {
    testsupport::ImportPatch patch(::GetModuleHandleW(nullptr), "kernel32.dll",
                                   "CreateToolhelp32Snapshot",
                                   reinterpret_cast<void*>(&RefusedSnapshot));
    ASSERT_TRUE(patch.active());
    std::vector<RaisedEvent> failures;
    for (DWORD reason : {ERROR_NOT_ENOUGH_MEMORY, ERROR_ACCESS_DENIED}) {
        snapshotError = reason;
        LONG result = 0;
        const auto events = Search(OwnImageName().c_str(), &result);
        EXPECT_EQ(static_cast<DWORD>(result), hvt::PROCESS_SNAPSHOT_FAILED);
        EXPECT_EQ(Codes(events),
                  (std::vector<DWORD>{hvt::PROCESS_SEARCH_BEGIN, hvt::PROCESS_SNAPSHOT_BEGIN,
                                      hvt::PROCESS_SNAPSHOT_FAILED, hvt::PROCESS_SEARCH_FAILED,
                                      hvt::PROCESS_SEARCH_END}));
        ASSERT_EQ(events.size(), 5u);
        EXPECT_EQ(events[2].parameter2, reason);
        EXPECT_EQ(events[3].parameter1, hvt::PROCESS_SNAPSHOT_FAILED);
        failures.push_back(events[2]);
    }
    // The first parameter names the raising statement, whatever the reason.
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].parameter1, failures[1].parameter1);
    EXPECT_NE(failures[0].parameter1, ERROR_NOT_ENOUGH_MEMORY);
}

TEST(ProcessSearch, FindsARunningProcessWhateverTheCase) {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring name = wcsrchr(self, L'\\') + 1;
    for (wchar_t& c : name) {
        c = static_cast<wchar_t>(towupper(c));
    }
    EXPECT_GE(q4mutil::FindProcess(name.c_str()), 0);
}

TEST(ProcessSearch, AbsentProcessFailsWithNotFoundAndRecordsTheEvents) {
    const LONG result = q4mutil::FindProcess(L"NoSuchDataServer.exe");
    EXPECT_EQ(static_cast<DWORD>(result), hvt::PROCESS_NOT_FOUND);

    // Errors are kept by the default filter: the exception and the failure.
    const auto records = Events();
    const HVTEventRecord* notFound = LastEvent(records, hvt::PROCESS_NOT_FOUND);
    ASSERT_NE(notFound, nullptr);
    EXPECT_EQ(notFound->parameter1, hvt::PROCESS_NOT_FOUND);
    EXPECT_EQ(notFound->parameter2, 18u);
    const HVTEventRecord* failed = LastEvent(records, hvt::PROCESS_SEARCH_FAILED);
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(failed->parameter1, hvt::PROCESS_NOT_FOUND);
}

TEST(DataServerDetection, FreePortMeansNoDataServer) {
    // COM3 is wired to a far end that nobody holds.
    EXPECT_TRUE(q4mutil::PortIsFree(L"COM3:"));
    EXPECT_FALSE(q4mutil::DetectDataServer(L"COM3:"));
}

TEST(DataServerDetection, ObjectWithoutARunningDataServerIsLoggedAndRefused) {
    const wchar_t path[] = L"\\Storage Card\\DetectionTest.log";
    common::ComApartment apartment;
    q4mutil::TheLog().Open(path);
    EXPECT_FALSE(q4mutil::CreateReaderConfig());
    q4mutil::TheLog().Close();
    // The pipe of the data server is not there.
    EXPECT_EQ(testsupport::ReadFileBytes(path),
              "Error initializing BarcodeControl: HRESULT=0x80070002\r\n");
    ::DeleteFileW(path);
}
