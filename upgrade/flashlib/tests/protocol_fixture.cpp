#include "protocol_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cctype>
#include <regex>

#include "HVTEventLog.h"
#include "logfile.h"
#include "testsupport/paths.h"

namespace {

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end()); // test paths are plain ASCII
}

} // namespace

void ProtocolTest::SetUp() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    folder_ = L"C:\\q4mtest_" + std::wstring(name.begin(), name.end());
    ::CreateDirectoryW(folder_.c_str(), nullptr);
    ReopenLog();
    // Informational and success events are dropped by default: keep every
    // class of the upgrade's facility while the test runs.
    ASSERT_NO_FATAL_FAILURE(events_.Start({hvt::FacilityUpgrade}));
}

void ProtocolTest::TearDown() {
    StopEngine();
    port_.reset();
    LibraryLog().Close();
    LibraryLog().SetPath(DefaultLogPath);
    events_.Restore();
    WIN32_FIND_DATAW found;
    common::UniqueFind find(::FindFirstFileW((folder_ + L"\\*").c_str(), &found));
    if (find) {
        do {
            ::DeleteFileW((folder_ + L"\\" + found.cFileName).c_str());
        } while (::FindNextFileW(find.get(), &found));
    }
    ::RemoveDirectoryW(folder_.c_str());
}

void ProtocolTest::StartEngine(engine::EngineConfig config) {
    engine_ = std::make_unique<engine::EngineThread>(std::move(config));
    ASSERT_TRUE(engine_->Start(L"\\\\.\\COM14")) << ::GetLastError();
    port_.reset(::CreateFileW(L"COM4:", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr));
    ASSERT_TRUE(port_) << ::GetLastError();
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    dcb.BaudRate = CBR_38400;
    dcb.fBinary = TRUE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    ASSERT_TRUE(::SetCommState(port_.get(), &dcb));
    ASSERT_TRUE(
        ::PurgeComm(port_.get(), PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR));
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = 3000;
    timeouts.WriteTotalTimeoutConstant = 3000;
    ASSERT_TRUE(::SetCommTimeouts(port_.get(), &timeouts));
}

void ProtocolTest::StopEngine() {
    if (engine_) {
        engine_->Stop();
    }
}

std::vector<BYTE> ProtocolTest::HostBytes() const {
    return engine_->Wire().Sent(engine::Direction::FromHost);
}

std::string ProtocolTest::PathOf(const std::string& name) const {
    return Narrow(folder_) + "\\" + name;
}

std::string ProtocolTest::MakeFile(const std::string& name, const std::string& bytes) {
    std::string path = PathOf(name);
    EXPECT_TRUE(testsupport::WriteFileBytes(std::wstring(path.begin(), path.end()), bytes));
    return path;
}

std::string ProtocolTest::ReadBack(const std::string& name) const {
    std::string path = PathOf(name);
    return testsupport::ReadFileBytes(std::wstring(path.begin(), path.end()));
}

std::string ProtocolTest::LogText() {
    LibraryLog().Close();
    std::string text = testsupport::ReadFileBytes(folder_ + L"\\library.log");
    return std::regex_replace(text, std::regex("timediff=[0-9]+"), "timediff=T");
}

void ProtocolTest::ReopenLog() {
    ASSERT_TRUE(LibraryLog().Open((folder_ + L"\\library.log").c_str()));
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

std::string Repeat(WORD word, size_t count) {
    std::string bytes;
    for (size_t i = 0; i < count; ++i) {
        bytes += static_cast<char>(word & 0xFF);
        bytes += static_cast<char>(word >> 8);
    }
    return bytes;
}

WORD WordAt(const std::string& bytes, size_t i) {
    return static_cast<WORD>(static_cast<BYTE>(bytes[2 * i]) |
                             (static_cast<BYTE>(bytes[2 * i + 1]) << 8));
}

bool ContainsRun(const std::vector<BYTE>& haystack, const std::vector<BYTE>& needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
           haystack.end();
}

bool ContainsInOrder(const std::vector<RaisedEvent>& events,
                     const std::vector<RaisedEvent>& expected) {
    auto at = events.begin();
    for (const RaisedEvent& e : expected) {
        at = std::find(at, events.end(), e);
        if (at == events.end()) {
            return false;
        }
        ++at;
    }
    return true;
}
