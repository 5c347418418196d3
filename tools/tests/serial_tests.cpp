#include <gtest/gtest.h>

#include <windows.h>

#include "common/handle.h"

using common::UniqueFile;

namespace {

UniqueFile OpenPort(const wchar_t* name) {
    return UniqueFile(
        ::CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

void Configure(HANDLE port, DWORD readTimeout) {
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    ASSERT_TRUE(::GetCommState(port, &dcb));
    dcb.BaudRate = CBR_38400;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    ASSERT_TRUE(::SetCommState(port, &dcb));
    ASSERT_TRUE(::PurgeComm(port, PURGE_RXCLEAR | PURGE_TXCLEAR));
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = readTimeout;
    timeouts.WriteTotalTimeoutConstant = 1000;
    ASSERT_TRUE(::SetCommTimeouts(port, &timeouts));
}

std::string ReadUpTo(HANDLE port, DWORD count) {
    std::string bytes(count, '\0');
    DWORD got = 0;
    if (!::ReadFile(port, bytes.data(), count, &got, nullptr)) {
        return {};
    }
    bytes.resize(got);
    return bytes;
}

bool WriteAll(HANDLE port, const std::string& bytes) {
    DWORD written = 0;
    return ::WriteFile(port, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

} // namespace

class SerialLine : public ::testing::Test {
protected:
    void SetUp() override {
        near_ = OpenPort(L"COM4:");
        far_ = OpenPort(L"\\\\.\\COM14");
        ASSERT_TRUE(near_) << ::GetLastError();
        ASSERT_TRUE(far_) << ::GetLastError();
        Configure(near_.get(), 2000);
        Configure(far_.get(), 2000);
    }
    UniqueFile near_, far_;
};

TEST_F(SerialLine, BytesTravelBothWays) {
    ASSERT_TRUE(WriteAll(near_.get(), std::string("\x80", 1)));
    EXPECT_EQ(ReadUpTo(far_.get(), 1), std::string("\x80", 1));
    ASSERT_TRUE(WriteAll(far_.get(), "OK"));
    EXPECT_EQ(ReadUpTo(near_.get(), 2), "OK");
}

TEST_F(SerialLine, LineSettingsReadBack) {
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    ASSERT_TRUE(::GetCommState(near_.get(), &dcb));
    EXPECT_EQ(dcb.BaudRate, static_cast<DWORD>(CBR_38400));
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
}

TEST_F(SerialLine, ReadWithNothingSentTimesOut) {
    Configure(near_.get(), 300);
    DWORD start = ::GetTickCount();
    EXPECT_EQ(ReadUpTo(near_.get(), 1), "");
    DWORD elapsed = ::GetTickCount() - start;
    EXPECT_GE(elapsed, 200u);
    EXPECT_LT(elapsed, 5000u);
}

TEST_F(SerialLine, PurgeDropsUnreadBytes) {
    ASSERT_TRUE(WriteAll(far_.get(), "stale"));
    ::Sleep(100); // let the bytes cross the line before they are thrown away
    ASSERT_TRUE(::PurgeComm(near_.get(), PURGE_RXCLEAR));
    Configure(near_.get(), 300);
    EXPECT_EQ(ReadUpTo(near_.get(), 5), "");
}

TEST(SerialPorts, AllFourPairsAreWired) {
    for (int n = 1; n <= 4; ++n) {
        std::wstring nearName = L"COM" + std::to_wstring(n) + L":";
        std::wstring farName = L"\\\\.\\COM" + std::to_wstring(n + 10);
        UniqueFile nearPort = OpenPort(nearName.c_str());
        UniqueFile farPort = OpenPort(farName.c_str());
        ASSERT_TRUE(nearPort) << n;
        ASSERT_TRUE(farPort) << n;
        Configure(farPort.get(), 2000);
        ASSERT_TRUE(WriteAll(nearPort.get(), "x"));
        EXPECT_EQ(ReadUpTo(farPort.get(), 1), "x") << n;
    }
}
