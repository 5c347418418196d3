#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "ceplatform.h"

namespace {

class SystemIoDriver : public ::testing::Test {
protected:
    void SetUp() override {
        TerminalSetFaults(0);
        TerminalClearDeviceRequests();
        device_ = CeOpenDevice(L"SYI1:", GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL);
        ASSERT_NE(device_, INVALID_HANDLE_VALUE);
    }
    void TearDown() override {
        CeCloseDevice(device_);
        TerminalSetFaults(0);
        TerminalSetHcr0(0);
    }
    BOOL Request(DWORD code, DWORD inSize) {
        DWORD returned = 0;
        return CeDeviceIoControl(device_, code, nullptr, inSize, nullptr, 0, &returned, nullptr);
    }
    static std::vector<TerminalDeviceRequest> Requests() {
        std::vector<TerminalDeviceRequest> requests(16);
        DWORD count = TerminalGetDeviceRequests(requests.data(), 16);
        requests.resize(count < 16 ? count : 16);
        return requests;
    }
    HANDLE device_ = INVALID_HANDLE_VALUE;
};

} // namespace

TEST_F(SystemIoDriver, PowerAndModeRequestsDriveTheLineBitsAndKeepTheOthers) {
    TerminalSetHcr0(0xA5000000);
    ASSERT_TRUE(Request(IOCTL_SYI_SCAN_POWER, 0));
    EXPECT_EQ(TerminalGetHcr0(), 0xA5000010u);
    ASSERT_TRUE(Request(IOCTL_SYI_SCAN_MODE, 1));
    EXPECT_EQ(TerminalGetHcr0(), 0xA5000030u);
    ASSERT_TRUE(Request(IOCTL_SYI_SCAN_POWER, 1));
    EXPECT_EQ(TerminalGetHcr0(), 0xA5000020u);
    ASSERT_TRUE(Request(IOCTL_SYI_SCAN_MODE, 0));
    EXPECT_EQ(TerminalGetHcr0(), 0xA5000000u);
}

TEST_F(SystemIoDriver, EveryRequestIsRecordedInOrder) {
    Request(IOCTL_SYI_SCAN_POWER, 0);
    Request(IOCTL_SYI_SCAN_MODE, 1);
    std::vector<TerminalDeviceRequest> requests = Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].ioControlCode, IOCTL_SYI_SCAN_POWER);
    EXPECT_EQ(requests[0].inSize, 0u);
    EXPECT_EQ(requests[1].ioControlCode, IOCTL_SYI_SCAN_MODE);
    EXPECT_EQ(requests[1].inSize, 1u);
}

TEST_F(SystemIoDriver, UnknownRequestsAndClosedHandlesFail) {
    EXPECT_FALSE(Request(0x0022C848, 0));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));

    HANDLE second = CeOpenDevice(L"syi1:", GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, 0);
    ASSERT_NE(second, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CeCloseDevice(second));
    DWORD returned = 0;
    EXPECT_FALSE(CeDeviceIoControl(second, IOCTL_SYI_SCAN_POWER, nullptr, 1, nullptr, 0, &returned,
                                   nullptr));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(SystemIoDriver, InjectedFaultsFailOpensAndRequests) {
    TerminalSetFaults(TERMINAL_FAULT_SYI_IOCTL);
    EXPECT_FALSE(Request(IOCTL_SYI_SCAN_POWER, 0));
    EXPECT_EQ(TerminalGetHcr0(), 0u);
    EXPECT_EQ(Requests().size(), 1u);

    TerminalSetFaults(TERMINAL_FAULT_SYI_OPEN);
    EXPECT_EQ(CeOpenDevice(L"SYI1:", GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, 0),
              INVALID_HANDLE_VALUE);
}

TEST(DeviceManager, UnknownDriversAreNotFound) {
    EXPECT_EQ(CeOpenDevice(L"XYZ1:", GENERIC_READ, 0, OPEN_EXISTING, 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}
