// What the entry point tests share: the terminal state they change (the
// engine's lines, the platform's faults and name, the upgrade log in the
// root) put back after each test, a folder of the test's own, the upgrade
// and line events raised since the test began, and the upgrade library
// loaded afresh for each test.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ceplatform.h"
#include "common/handle.h"
#include "engine/engine_thread.h"
#include "event_capture.h"
#include "engine/power_lines.h"
#include "q4mupgrade.h"

using LineEvent = RaisedEvent;

bool operator==(const TerminalDeviceRequest& a, const TerminalDeviceRequest& b);
std::ostream& operator<<(std::ostream& out, const TerminalDeviceRequest& request);

class TerminalTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The platform name the kernel reports; null removes the setting.
    void SetPlatformName(const char* name);
    std::vector<TerminalDeviceRequest> DeviceRequests() const;

    std::wstring PathOf(const std::wstring& name) const { return folder_ + L"\\" + name; }
    std::wstring MakeFile(const std::wstring& name, const std::string& bytes);

    // Events of facilities 0x2BB and 0x162 raised since the test began.
    std::vector<LineEvent> Events() { return events_.Events(); }

    // A simulated engine on COM14 that follows the terminal's lines.
    void StartEngine(engine::EngineConfig config);
    void StopEngine();
    engine::ScanEngine& Engine() { return engine_->Engine(); }
    std::vector<BYTE> HostBytes() const;

    // Q4MUpgrade.dll, loaded for this test.
    Q4MUpgradeFunction upgrade_ = nullptr;
    Q4MExtractFunction extract_ = nullptr;

private:
    EventCapture events_;
    std::wstring folder_;
    DWORD savedHcr0_ = 0;
    DWORD savedFaults_ = 0;
    bool hadPlatformName_ = false;
    std::string savedPlatformName_;
    bool hadRootLog_ = false;
    std::string savedRootLog_;
    engine::TerminalLines lines_;
    std::unique_ptr<engine::EngineThread> engine_;
    common::UniqueModule library_;
};

// The upgrade log in the root of the terminal's object store.
constexpr const wchar_t* RootLogPath = L"C:\\Q4MUpgrd.log";

// Bytes that differ from word to word.
std::string Pattern(size_t size, unsigned seed);
// Whether every event of `expected` occurs in `events`, in this order.
bool ContainsInOrder(const std::vector<LineEvent>& events, const std::vector<LineEvent>& expected);
bool Contains(const std::vector<LineEvent>& events, DWORD code);
// Milliseconds since `start` (a tick count).
DWORD Since(DWORD start);
