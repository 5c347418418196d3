#include <gtest/gtest.h>

#include <vector>

#include "HVTEventLog.h"
#include "data_server.h"
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

} // namespace

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
