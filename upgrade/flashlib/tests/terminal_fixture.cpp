#include "terminal_fixture.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "HVTEventLog.h"
#include "testsupport/paths.h"

namespace {

constexpr const char* SimulatorKey = "Software\\TerminalSimulator";
constexpr const char* PlatformNameValue = "PlatformName";

bool ReadRootLog(std::string* bytes) {
    if (::GetFileAttributesW(RootLogPath) == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    *bytes = testsupport::ReadFileBytes(RootLogPath);
    return true;
}

} // namespace

bool operator==(const TerminalDeviceRequest& a, const TerminalDeviceRequest& b) {
    return a.ioControlCode == b.ioControlCode && a.inSize == b.inSize;
}

std::ostream& operator<<(std::ostream& out, const TerminalDeviceRequest& request) {
    char text[48];
    std::snprintf(text, sizeof(text), "{0x%08lX, %lu}", request.ioControlCode, request.inSize);
    return out << text;
}

void TerminalTest::SetUp() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    folder_ = L"C:\\q4mentry_" + std::wstring(name.begin(), name.end());
    ::CreateDirectoryW(folder_.c_str(), nullptr);

    savedHcr0_ = ::TerminalGetHcr0();
    savedFaults_ = ::TerminalGetFaults();
    char value[128] = {};
    DWORD size = sizeof(value);
    hadPlatformName_ = ::RegGetValueA(HKEY_LOCAL_MACHINE, SimulatorKey, PlatformNameValue,
                                      RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS;
    savedPlatformName_ = value;
    hadRootLog_ = ReadRootLog(&savedRootLog_);
    ::TerminalClearDeviceRequests();
    // The engine is found powered down in scanning mode, as a run leaves it.
    ::TerminalSetHcr0(HCR0_SCAN_POWER_OFF);

    // Keep every class of the two facilities while the test runs.
    ASSERT_NO_FATAL_FAILURE(events_.Start({hvt::FacilityUpgrade, hvt::FacilityScannerLines}));

    library_.reset(::LoadLibraryW(L"Q4MUpgrade.dll"));
    ASSERT_TRUE(library_) << ::GetLastError();
    // Through void*: GetProcAddress's own type says nothing of the parameters.
    upgrade_ = reinterpret_cast<Q4MUpgradeFunction>(
        reinterpret_cast<void*>(::GetProcAddress(library_.get(), "Q4MUpgrade")));
    extract_ = reinterpret_cast<Q4MExtractFunction>(
        reinterpret_cast<void*>(::GetProcAddress(library_.get(), "Q4MExtract")));
    ASSERT_NE(upgrade_, nullptr);
    ASSERT_NE(extract_, nullptr);
}

void TerminalTest::TearDown() {
    StopEngine();
    library_.reset();
    events_.Restore();
    ::TerminalSetFaults(savedFaults_);
    ::TerminalSetHcr0(savedHcr0_);
    ::TerminalClearDeviceRequests();
    SetPlatformName(hadPlatformName_ ? savedPlatformName_.c_str() : nullptr);
    if (hadRootLog_) {
        testsupport::WriteFileBytes(RootLogPath, savedRootLog_);
    } else {
        ::DeleteFileW(RootLogPath);
    }
    WIN32_FIND_DATAW found;
    common::UniqueFind find(::FindFirstFileW((folder_ + L"\\*").c_str(), &found));
    if (find) {
        do {
            ::DeleteFileW((folder_ + L"\\" + found.cFileName).c_str());
        } while (::FindNextFileW(find.get(), &found));
    }
    ::RemoveDirectoryW(folder_.c_str());
}

void TerminalTest::SetPlatformName(const char* name) {
    if (name == nullptr) {
        ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, SimulatorKey, PlatformNameValue);
        return;
    }
    ASSERT_EQ(::RegSetKeyValueA(HKEY_LOCAL_MACHINE, SimulatorKey, PlatformNameValue, REG_SZ, name,
                                static_cast<DWORD>(std::strlen(name) + 1)),
              ERROR_SUCCESS);
}

std::vector<TerminalDeviceRequest> TerminalTest::DeviceRequests() const {
    TerminalDeviceRequest requests[64];
    DWORD count = ::TerminalGetDeviceRequests(requests, 64);
    return std::vector<TerminalDeviceRequest>(requests, requests + std::min<DWORD>(count, 64));
}

std::wstring TerminalTest::MakeFile(const std::wstring& name, const std::string& bytes) {
    std::wstring path = PathOf(name);
    EXPECT_TRUE(testsupport::WriteFileBytes(path, bytes));
    return path;
}

void TerminalTest::StartEngine(engine::EngineConfig config) {
    config.lines = &lines_;
    engine_ = std::make_unique<engine::EngineThread>(std::move(config));
    ASSERT_TRUE(engine_->Start(L"\\\\.\\COM14")) << ::GetLastError();
}

void TerminalTest::StopEngine() {
    if (engine_) {
        engine_->Stop();
    }
}

std::vector<BYTE> TerminalTest::HostBytes() const {
    return engine_->Wire().Sent(engine::Direction::FromHost);
}

std::string Pattern(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    unsigned value = seed * 2654435761u + 12345;
    for (size_t i = 0; i < size; ++i) {
        value = value * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(value >> 16);
    }
    return bytes;
}

bool ContainsInOrder(const std::vector<LineEvent>& events, const std::vector<LineEvent>& expected) {
    auto at = events.begin();
    for (const LineEvent& e : expected) {
        at = std::find(at, events.end(), e);
        if (at == events.end()) {
            return false;
        }
        ++at;
    }
    return true;
}

bool Contains(const std::vector<LineEvent>& events, DWORD code) {
    return std::any_of(events.begin(), events.end(),
                       [code](const LineEvent& e) { return e.code == code; });
}

DWORD Since(DWORD start) {
    return ::GetTickCount() - start;
}
