// Test harness for the event log. The log's shared blocks live while any
// process has the library loaded, so every case that needs a log of its own
// runs its body in a fresh process that is the first to load the library;
// this test program never loads it itself. The registry configuration that
// such a first process reads is set beforehand and put back afterwards.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "HVTEventLog.h"
#include "common/handle.h"

namespace evtest {

// The nine exports of HVTEventLog.dll, loaded into this process.
class EventLogApi {
public:
    EventLogApi();
    bool loaded() const { return module_.valid(); }

    decltype(&HVTLogEvent) LogEvent = nullptr;
    decltype(&HVTGetEventLog) GetEventLog = nullptr;
    decltype(&HVTClearEventLog) ClearEventLog = nullptr;
    decltype(&HVTSetEventFilter) SetEventFilter = nullptr;
    decltype(&HVTGetEventFilter) GetEventFilter = nullptr;
    decltype(&HVTSetTracePointCriteria) SetTracePointCriteria = nullptr;
    decltype(&HVTGetTracePointCriteria) GetTracePointCriteria = nullptr;
    decltype(&HVTResetTracePoint) ResetTracePoint = nullptr;
    decltype(&HVTGetTracePointStatus) GetTracePointStatus = nullptr;

    // Every record this process has not read yet (restart: from the oldest).
    std::vector<HVTEventRecord> Read(bool restart = true) const;
    // The codes of Read(restart).
    std::vector<DWORD> ReadCodes(bool restart = true) const;
    // Sets a filter with these entries and codes; expects success.
    void SetFilter(WORD defaultMask, std::vector<HVTFacilityFilter> entries = {},
                   std::vector<DWORD> codes = {}) const;

private:
    common::UniqueModule module_;
};

// The raw "EventFilter" registry value: its type and bytes.
struct RegistryValue {
    DWORD type = REG_BINARY;
    std::string bytes;
};

std::optional<RegistryValue> ReadConfig(const wchar_t* name);
void WriteConfig(const wchar_t* name, const std::optional<RegistryValue>& value);
RegistryValue DwordValue(DWORD value);
RegistryValue FilterValue(const HVTFilterBlock& block);
// The filter block the registry holds now (all zero when there is none).
HVTFilterBlock StoredFilter();

class FreshLog : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Configuration for the next first process (ignored inside the child).
    void ConfigureQueueSize(std::optional<RegistryValue> value);
    void ConfigureFilter(std::optional<RegistryValue> value);

    // Runs body in a fresh process that loads the library first. In that
    // process no other statement of the test runs; here, the test expects
    // the process to pass.
    void InFreshProcess(const std::function<void(const EventLogApi&)>& body);

private:
    std::optional<RegistryValue> savedQueueSize_;
    std::optional<RegistryValue> savedFilter_;
    int freshRuns_ = 0;
};

// Starts child `name` of this program with arguments; it inherits this
// program's output so that its failures show.
common::UniqueKernel StartLoggingChild(const std::wstring& name, const std::wstring& args);
DWORD WaitForChild(const common::UniqueKernel& process);

} // namespace evtest
