#include "fresh_log.h"

#include <cstdio>
#include <cstring>

#include "testsupport/child.h"

namespace evtest {
namespace {

// Inside a fresh child: the number of the InFreshProcess call it serves.
int g_freshIndex = -1;

bool InFreshChild() {
    return g_freshIndex >= 0;
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// Runs only the named test, whose InFreshProcess call number `index` then runs
// its body and ends this process.
int RunFreshCase(const std::vector<std::wstring>& args) {
    if (args.size() != 2) {
        return 97;
    }
    g_freshIndex = std::stoi(args[1]);
    std::string program = "fresh";
    std::string filter = "--gtest_filter=" + Narrow(args[0]);
    std::string brief = "--gtest_brief=1";
    char* argv[] = {program.data(), filter.data(), brief.data(), nullptr};
    int argc = 3;
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    return result != 0 ? result : 98; // the body never ran
}
testsupport::ChildRegistration freshCase(L"fresh-case", RunFreshCase);

common::UniqueKey OpenConfigKey() {
    common::UniqueKey key;
    ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, hvt::EventLogKey, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                      nullptr, key.put(), nullptr);
    return key;
}

} // namespace

EventLogApi::EventLogApi() : module_(::LoadLibraryW(L"HVTEventLog.dll")) {
    if (!module_) {
        return;
    }
    auto find = [this](auto& function, const char* name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
            reinterpret_cast<void*>(::GetProcAddress(module_.get(), name)));
    };
    find(LogEvent, "HVTLogEvent");
    find(GetEventLog, "HVTGetEventLog");
    find(ClearEventLog, "HVTClearEventLog");
    find(SetEventFilter, "HVTSetEventFilter");
    find(GetEventFilter, "HVTGetEventFilter");
    find(SetTracePointCriteria, "HVTSetTracePointCriteria");
    find(GetTracePointCriteria, "HVTGetTracePointCriteria");
    find(ResetTracePoint, "HVTResetTracePoint");
    find(GetTracePointStatus, "HVTGetTracePointStatus");
}

std::vector<HVTEventRecord> EventLogApi::Read(bool restart) const {
    std::vector<HVTEventRecord> all;
    HVTEventRecord chunk[50];
    BOOL again = restart ? TRUE : FALSE;
    for (;;) {
        DWORD status = 0;
        WORD n = GetEventLog(chunk, 50, again, 0, &status);
        EXPECT_EQ(status, hvt::EVTLOG_SUCCESS);
        all.insert(all.end(), chunk, chunk + n);
        if (n < 50) {
            return all;
        }
        again = FALSE;
    }
}

std::vector<DWORD> EventLogApi::ReadCodes(bool restart) const {
    std::vector<DWORD> codes;
    for (const HVTEventRecord& record : Read(restart)) {
        codes.push_back(record.code);
    }
    return codes;
}

void EventLogApi::SetFilter(WORD defaultMask, std::vector<HVTFacilityFilter> entries,
                            std::vector<DWORD> codes) const {
    EXPECT_EQ(SetEventFilter(hvt::EventFilterVersion, entries.data(),
                             static_cast<WORD>(entries.size()), defaultMask, codes.data(),
                             static_cast<WORD>(codes.size())),
              hvt::EVTLOG_SUCCESS);
}

std::optional<RegistryValue> ReadConfig(const wchar_t* name) {
    common::UniqueKey key = OpenConfigKey();
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    RegistryValue value{type, std::string(size, '\0')};
    ::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value.bytes.data()),
                       &size);
    return value;
}

void WriteConfig(const wchar_t* name, const std::optional<RegistryValue>& value) {
    common::UniqueKey key = OpenConfigKey();
    if (!value) {
        ::RegDeleteValueW(key.get(), name);
        return;
    }
    ASSERT_EQ(::RegSetValueExW(key.get(), name, 0, value->type,
                               reinterpret_cast<const BYTE*>(value->bytes.data()),
                               static_cast<DWORD>(value->bytes.size())),
              ERROR_SUCCESS);
}

RegistryValue DwordValue(DWORD value) {
    return {REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof(value))};
}

RegistryValue FilterValue(const HVTFilterBlock& block) {
    return {REG_BINARY, std::string(reinterpret_cast<const char*>(&block), sizeof(block))};
}

HVTFilterBlock StoredFilter() {
    HVTFilterBlock block{};
    std::optional<RegistryValue> value = ReadConfig(hvt::EventFilterValue);
    if (value && value->bytes.size() == sizeof(block)) {
        std::memcpy(&block, value->bytes.data(), sizeof(block));
    }
    return block;
}

void FreshLog::SetUp() {
    if (!InFreshChild()) {
        savedQueueSize_ = ReadConfig(hvt::QueueSizeValue);
        savedFilter_ = ReadConfig(hvt::EventFilterValue);
        // Each case starts from no configuration unless it says otherwise.
        WriteConfig(hvt::QueueSizeValue, std::nullopt);
        WriteConfig(hvt::EventFilterValue, std::nullopt);
    }
}

void FreshLog::TearDown() {
    if (!InFreshChild()) {
        WriteConfig(hvt::QueueSizeValue, savedQueueSize_);
        WriteConfig(hvt::EventFilterValue, savedFilter_);
    }
}

void FreshLog::ConfigureQueueSize(std::optional<RegistryValue> value) {
    if (!InFreshChild()) {
        WriteConfig(hvt::QueueSizeValue, value);
    }
}

void FreshLog::ConfigureFilter(std::optional<RegistryValue> value) {
    if (!InFreshChild()) {
        WriteConfig(hvt::EventFilterValue, value);
    }
}

void FreshLog::InFreshProcess(const std::function<void(const EventLogApi&)>& body) {
    const int run = freshRuns_++;
    if (InFreshChild()) {
        if (run != g_freshIndex) {
            return;
        }
        {
            EventLogApi api;
            if (!api.loaded()) {
                ADD_FAILURE() << "HVTEventLog.dll did not load: " << ::GetLastError();
            } else {
                body(api);
            }
        }
        std::fflush(stdout);
        ::ExitProcess(::testing::Test::HasFailure() ? 1 : 0);
    }
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    common::UniqueKernel process = StartLoggingChild(
        L"fresh-case", std::wstring(name.begin(), name.end()) + L" " + std::to_wstring(run));
    EXPECT_EQ(WaitForChild(process), 0u) << "fresh process " << run << " of " << name;
}

common::UniqueKernel StartLoggingChild(const std::wstring& name, const std::wstring& args) {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --child " + name + L" " + args;
    std::fflush(stdout);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    for (HANDLE handle : {startup.hStdOutput, startup.hStdError}) {
        ::SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    }
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &info)) {
        ADD_FAILURE() << "could not start child " << Narrow(name);
        return {};
    }
    ::CloseHandle(info.hThread);
    return common::UniqueKernel(info.hProcess);
}

DWORD WaitForChild(const common::UniqueKernel& process) {
    if (!process) {
        return 0xFFFFFFFF;
    }
    if (::WaitForSingleObject(process.get(), 120000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 0xFFFFFFFF);
        return 0xFFFFFFFF;
    }
    DWORD code = 0xFFFFFFFF;
    ::GetExitCodeProcess(process.get(), &code);
    return code;
}

} // namespace evtest
