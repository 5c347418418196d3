// Battery readings, idle time-outs and power requests as a script sees them.
#include <windows.h>

#include <gtest/gtest.h>

#include "cepower.h"
#include "common/com.h"
#include "deviceapi_server.h"
#include "terminal_config.h"

namespace {

class PowerObject : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegisterDeviceApiServer(), S_OK);
        ASSERT_EQ(::CoCreateInstance(CLSID_Power, nullptr, CLSCTX_INPROC_SERVER, IID_IPower,
                                     reinterpret_cast<void**>(power_.put())),
                  S_OK);
    }
    common::ComApartment apartment_;
    common::ComPtr<IPower> power_;
};

TEST_F(PowerObject, EveryBatteryGetTakesAFreshReading) {
    ConfigNumber percent(kPowerConfig, L"BatteryLifePercent", 80);
    ConfigNumber flag(kPowerConfig, L"BatteryFlag", 8);
    ConfigNumber voltage(kPowerConfig, L"BatteryVoltage", 3900);
    LONG value = 0;
    ASSERT_EQ(power_->get_BatteryLifePercent(&value), S_OK);
    EXPECT_EQ(value, 80);
    percent.Set(5);
    ASSERT_EQ(power_->get_BatteryLifePercent(&value), S_OK);
    EXPECT_EQ(value, 5);
    MXQRAPIBatteryFlag battery = ibfBATTERY_FLAG_UNKNOWN;
    ASSERT_EQ(power_->get_BatteryFlag(&battery), S_OK);
    EXPECT_EQ(battery, ibfBATTERY_FLAG_CHARGING);
    ASSERT_EQ(power_->get_BatteryVoltage(&value), S_OK);
    EXPECT_EQ(value, 3900);
}

TEST_F(PowerObject, EightBitFieldsAreZeroExtended) {
    ConfigNumber line(kPowerConfig, L"ACLineStatus", 255);
    ConfigNumber backup(kPowerConfig, L"BackupBatteryLifePercent", 200);
    MXQRAPILineStatus status = ilsAC_LINE_OFFLINE;
    ASSERT_EQ(power_->get_ACLineStatus(&status), S_OK);
    EXPECT_EQ(status, ilsAC_LINE_UNKNOWN);
    LONG value = 0;
    ASSERT_EQ(power_->get_BackupBatteryLifePercent(&value), S_OK);
    EXPECT_EQ(value, 200);
}

TEST_F(PowerObject, IdleTimeoutsRoundTripAndReadMinusOneWhenUnsupported) {
    ConfigNumber timeout(kPowerConfig, L"BatteryIdleTimeout", 120);
    ASSERT_EQ(power_->put_BatteryIdleTimeout(45), S_OK);
    LONG value = 0;
    ASSERT_EQ(power_->get_BatteryIdleTimeout(&value), S_OK);
    EXPECT_EQ(value, 45);

    ConfigNumber unsupported(kPowerConfig, L"BatteryIdleTimeoutUnsupported", 1);
    ASSERT_EQ(power_->get_BatteryIdleTimeout(&value), S_OK);
    EXPECT_EQ(value, -1);
    EXPECT_EQ(power_->put_BatteryIdleTimeout(60), S_OK) << "a refused put is no error";
}

TEST_F(PowerObject, PowerOffAndIdleResetReachThePlatformOnly) {
    TerminalClearPowerCounts();
    EXPECT_EQ(power_->SystemIdleTimerReset(), S_OK);
    EXPECT_EQ(power_->SystemIdleTimerReset(), S_OK);
    EXPECT_EQ(power_->PowerOffDevice(), S_OK);
    TerminalPowerCounts counts = {};
    TerminalGetPowerCounts(&counts);
    EXPECT_EQ(counts.idleTimerResets, 2u);
    EXPECT_EQ(counts.powerOffRequests, 1u);
    TerminalClearPowerCounts();
}

class MemoryObject : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegisterDeviceApiServer(), S_OK);
        ASSERT_EQ(::CoCreateInstance(CLSID_Memory, nullptr, CLSCTX_INPROC_SERVER, IID_IMemory,
                                     reinterpret_cast<void**>(memory_.put())),
                  S_OK);
    }
    common::ComApartment apartment_;
    common::ComPtr<IMemory> memory_;
};

TEST_F(MemoryObject, DivisionAnswersComeFromTheSystem) {
    ConfigNumber store(kMemoryConfig, L"StoragePages", 1000);
    ConfigNumber ram(kMemoryConfig, L"RamPages", 3000);
    ConfigNumber size(kMemoryConfig, L"PageSize", 4096);
    LONG value = 0;
    ASSERT_EQ(memory_->get_SystemMemoryStoragePages(&value), S_OK);
    EXPECT_EQ(value, 1000);
    ASSERT_EQ(memory_->get_SystemMemoryRAMPages(&value), S_OK);
    EXPECT_EQ(value, 3000);
    ASSERT_EQ(memory_->get_SystemMemoryPageSize(&value), S_OK);
    EXPECT_EQ(value, 4096);

    ConfigNumber answer(kMemoryConfig, L"SetAnswer", SYSMEM_MUSTREBOOT);
    MXQRAPISysMemoryChangeStatus status = ismFAIL;
    ASSERT_EQ(memory_->SetSystemMemoryStoragePages(1500, &status), S_OK);
    EXPECT_EQ(status, ismSUCCESS_REQUIRES_RESET);
    TerminalPowerCounts counts = {};
    TerminalGetPowerCounts(&counts);
    EXPECT_EQ(counts.lastStoragePages, 1500u);
    TerminalClearPowerCounts();
}

TEST_F(MemoryObject, StatusGetsReadTheCurrentMemoryStatus) {
    LONG load = -1;
    LONG total = 0;
    LONG available = 0;
    ASSERT_EQ(memory_->get_MemoryLoad(&load), S_OK);
    ASSERT_EQ(memory_->get_TotalPhysicalMemory(&total), S_OK);
    ASSERT_EQ(memory_->get_AvailablePhysicalMemory(&available), S_OK);
    EXPECT_GE(load, 0);
    EXPECT_LE(load, 100);
    EXPECT_NE(total, 0);
}

} // namespace
