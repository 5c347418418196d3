// The engine's power and mode requests on both kinds of platform: which bits
// of HCR0 or which "SYI1:" requests they produce, what they log and raise,
// how long they take, and what happens when the hardware refuses.
#include "terminal_fixture.h"

#include "logfile.h"
#include "scanner_control.h"
#include "sysio.h"
#include "testsupport/paths.h"
#include "upgrade_events.h"

namespace ev = hvt::upgrade;

namespace {

constexpr TerminalDeviceRequest PowerOff{IOCTL_SYI_SCAN_POWER, 0};
constexpr TerminalDeviceRequest PowerOn{IOCTL_SYI_SCAN_POWER, 1};
constexpr TerminalDeviceRequest FlashMode{IOCTL_SYI_SCAN_MODE, 1};
constexpr TerminalDeviceRequest ScanningMode{IOCTL_SYI_SCAN_MODE, 0};

// The requests of one run, in the order the entry points make them.
void RunSequence() {
    PowerDownScanner();
    SetScannerMode(1);
    PowerUpScanner();
    PowerDownScanner();
    SetScannerMode(0);
}

// Holds "HVT_HCR0" on a thread of its own until told to let go.
class Hcr0Holder {
public:
    Hcr0Holder() {
        held_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        release_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        thread_.reset(::CreateThread(nullptr, 0, &Hcr0Holder::Hold, this, 0, nullptr));
        ::WaitForSingleObject(held_.get(), 5000);
    }
    ~Hcr0Holder() {
        ::SetEvent(release_.get());
        ::WaitForSingleObject(thread_.get(), 5000);
    }

private:
    static DWORD WINAPI Hold(LPVOID param) {
        auto* self = static_cast<Hcr0Holder*>(param);
        common::UniqueKernel mutex(::CreateMutexW(nullptr, FALSE, L"HVT_HCR0"));
        ::WaitForSingleObject(mutex.get(), INFINITE);
        ::SetEvent(self->held_.get());
        ::WaitForSingleObject(self->release_.get(), INFINITE);
        ::ReleaseMutex(mutex.get());
        return 0;
    }

    common::UniqueKernel held_, release_, thread_;
};

} // namespace

class ScannerLinesTest : public TerminalTest {
protected:
    void TearDown() override {
        ForgetPlatformType();
        LibraryLog().Close();
        LibraryLog().SetPath(DefaultLogPath);
        TerminalTest::TearDown();
    }

    void UsePlatform(const char* name) {
        SetPlatformName(name);
        ForgetPlatformType();
    }

    void OpenLog() { ASSERT_TRUE(LibraryLog().Open(PathOf(L"lines.log").c_str())); }
    std::string LogText() {
        LibraryLog().Close();
        return testsupport::ReadFileBytes(PathOf(L"lines.log"));
    }
};

TEST_F(ScannerLinesTest, OnlyBrinexDrivesHcr0) {
    struct Case {
        const char* name;
        DWORD faults;
        PlatformType type;
    };
    const Case cases[] = {
        {"Brinex", 0, PlatformHcr0},
        {nullptr, 0, PlatformSystemIoDriver}, // the terminal's default name
        {"HVT9000", 0, PlatformSystemIoDriver},
        {"brinex", 0, PlatformSystemIoDriver},
        {"Brinex2", 0, PlatformSystemIoDriver},
        {"Brinex", TERMINAL_FAULT_DEVICE_INFO, PlatformSystemIoDriver},
    };
    for (const Case& c : cases) {
        UsePlatform(c.name);
        ::TerminalSetFaults(c.faults);
        EXPECT_EQ(DetectedPlatformType(), c.type) << (c.name ? c.name : "(default)");
    }
}

TEST_F(ScannerLinesTest, PlatformIsDetectedOnceAndKept) {
    UsePlatform("Brinex");
    ASSERT_EQ(DetectedPlatformType(), PlatformHcr0);
    SetPlatformName("HVT9000");
    EXPECT_EQ(DetectedPlatformType(), PlatformHcr0);
}

TEST_F(ScannerLinesTest, DriverPlatformIssuesExactlyThePowerAndModeRequests) {
    UsePlatform("HVT9000");
    RunSequence();
    std::vector<TerminalDeviceRequest> expected = {PowerOff, FlashMode, PowerOn, PowerOff,
                                                   ScanningMode};
    EXPECT_EQ(DeviceRequests(), expected);
    EXPECT_EQ(::TerminalGetHcr0(), HCR0_SCAN_POWER_OFF);
    std::vector<LineEvent> events = Events();
    // Each request creates its sysIo object first, then says what it asks for.
    EXPECT_TRUE(ContainsInOrder(events, {
                                            {ev::SysIoUsesDriver, 0, 0},
                                            {ev::PowerDownRequested, 0, 0},
                                            {ev::ScanPowerRequested, 0, 0},
                                            {ev::SysIoUsesDriver, 0, 0},
                                            {ev::FlashModeRequested, 1, 0},
                                            {ev::ScannerModeRequested, 1, 0},
                                            {ev::SysIoUsesDriver, 0, 0},
                                            {ev::PowerUpRequested, 0, 0},
                                            {ev::ScanPowerRequested, 1, 0},
                                            {ev::PowerDownRequested, 0, 0},
                                            {ev::ScanPowerRequested, 0, 0},
                                            {ev::ScanningModeRequested, 0, 0},
                                            {ev::ScannerModeRequested, 0, 0},
                                        }));
    EXPECT_FALSE(Contains(events, ev::SysIoUsesHcr0));
}

TEST_F(ScannerLinesTest, BrinexFlipsOnlyThePowerAndFlashModeBits) {
    UsePlatform("Brinex");
    constexpr DWORD Others = 0xA5A5A5C5 & ~(HCR0_SCAN_POWER_OFF | HCR0_SCAN_FLASH_MODE);
    ::TerminalSetHcr0(Others);
    PowerDownScanner();
    EXPECT_EQ(::TerminalGetHcr0(), Others | HCR0_SCAN_POWER_OFF);
    SetScannerMode(1);
    EXPECT_EQ(::TerminalGetHcr0(), Others | HCR0_SCAN_POWER_OFF | HCR0_SCAN_FLASH_MODE);
    PowerUpScanner();
    EXPECT_EQ(::TerminalGetHcr0(), Others | HCR0_SCAN_FLASH_MODE);
    SetScannerMode(0);
    EXPECT_EQ(::TerminalGetHcr0(), Others);
    EXPECT_TRUE(DeviceRequests().empty());
    // Each request attached and detached again: no mapping or mutex is kept.
    EXPECT_EQ(Hcr0AttachCount(), 0);
    common::UniqueKernel mutex(::OpenMutexW(SYNCHRONIZE, FALSE, L"HVT_HCR0"));
    EXPECT_FALSE(mutex);
    std::vector<LineEvent> events = Events();
    EXPECT_TRUE(Contains(events, ev::SysIoUsesHcr0));
    EXPECT_FALSE(Contains(events, ev::SysIoUsesDriver));
}

TEST_F(ScannerLinesTest, RequestsTakeAtLeastTheirSettleTimes) {
    UsePlatform("HVT9000");
    struct Case {
        const char* what;
        void (*request)();
        DWORD faults;
        DWORD atLeastMs;
    };
    const Case cases[] = {
        {"power down", [] { PowerDownScanner(); }, 0, 500},
        {"power up", [] { PowerUpScanner(); }, 0, 550},
        {"failed power up", [] { PowerUpScanner(); }, TERMINAL_FAULT_SYI_IOCTL, 550},
        {"flash mode", [] { SetScannerMode(1); }, 0, 700},
        {"scanning mode", [] { SetScannerMode(0); }, 0, 700},
        {"failed mode change", [] { SetScannerMode(1); }, TERMINAL_FAULT_SYI_IOCTL, 500},
    };
    for (const Case& c : cases) {
        ::TerminalSetFaults(c.faults);
        ULONGLONG start = ::GetTickCount64();
        c.request();
        EXPECT_GE(::GetTickCount64() - start, c.atLeastMs) << c.what;
    }
}

TEST_F(ScannerLinesTest, RequestsLogTheirSettleLines) {
    UsePlatform("HVT9000");
    OpenLog();
    PowerDownScanner();
    PowerUpScanner();
    SetScannerMode(1);
    SetScannerMode(0);
    EXPECT_EQ(LogText(),
              "[302]PowerDownScanner(), Sleep for 500milliseconds to give scanner a chance to "
              "change state\r"
              "[303]PowerDownScanner(), Sleep for 500milliseconds to give scanner a chance to "
              "change state\r"
              "[304]SetScannerMode(), Placing scanner in flash mode: 1\r"
              "[308]SetScannerMode(), Sleep for 500milliseconds to give scanner a chance to "
              "change state\r"
              "[305]SetScannerMode(), Placing scanner in scanning mode: 0\r"
              "[308]SetScannerMode(), Sleep for 500milliseconds to give scanner a chance to "
              "change state\r");
}

TEST_F(ScannerLinesTest, RefusedDriverRequestsAreLoggedAndRaised) {
    UsePlatform("HVT9000");
    ::TerminalSetFaults(TERMINAL_FAULT_SYI_IOCTL);
    OpenLog();
    PowerDownScanner();
    PowerUpScanner();
    SetScannerMode(1);
    SetScannerMode(0);
    std::string log = LogText();
    EXPECT_NE(log.find("[300]ERROR: PowerDownScanner(), 0xc1620002=sysIo.SetScanPower(0) failed\r"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("[301]ERROR: PowerUpScanner(), 0xc1620002=sysIo.SetScanPower(1) failed\r"),
              std::string::npos);
    EXPECT_NE(log.find("[306]ERROR: SetScannerMode(), Setting scanner to flash mode\r"),
              std::string::npos);
    EXPECT_NE(log.find("[307]ERROR: SetScannerMode(), Setting scanner to scanning mode\r"),
              std::string::npos);
    EXPECT_TRUE(ContainsInOrder(Events(), {
                                              {ev::SysIoPowerRequestFailed, ERROR_GEN_FAILURE, 0},
                                              {ev::PowerDownFailed, ev::SysIoPowerRequestFailed, 0},
                                              {ev::SysIoPowerRequestFailed, ERROR_GEN_FAILURE, 0},
                                              {ev::PowerUpFailed, ev::SysIoPowerRequestFailed, 0},
                                              {ev::SysIoModeRequestFailed, ERROR_GEN_FAILURE, 0},
                                              {ev::FlashModeFailed, 0, 0},
                                              {ev::SysIoModeRequestFailed, ERROR_GEN_FAILURE, 0},
                                              {ev::ScanningModeFailed, 0, 0},
                                          }));
    EXPECT_EQ(::TerminalGetHcr0(), HCR0_SCAN_POWER_OFF);
}

TEST_F(ScannerLinesTest, DriverThatCannotBeOpenedFailsEveryRequest) {
    UsePlatform("HVT9000");
    ::TerminalSetFaults(TERMINAL_FAULT_SYI_OPEN);
    PowerUpScanner();
    SetScannerMode(1);
    EXPECT_TRUE(DeviceRequests().empty());
    EXPECT_EQ(::TerminalGetHcr0(), HCR0_SCAN_POWER_OFF);
    std::vector<LineEvent> events = Events();
    EXPECT_TRUE(ContainsInOrder(events, {
                                            {ev::SysIoDriverOpenFailed, ERROR_DEV_NOT_EXIST, 0},
                                            {ev::PowerUpFailed, ev::SysIoPowerRequestFailed, 0},
                                            {ev::SysIoDriverOpenFailed, ERROR_DEV_NOT_EXIST, 0},
                                            {ev::FlashModeFailed, 0, 0},
                                        }));
}

TEST_F(ScannerLinesTest, UnmappableHcr0FailsTheRequestAndLeavesTheLines) {
    UsePlatform("Brinex");
    ::TerminalSetFaults(TERMINAL_FAULT_VIRTUAL_COPY);
    PowerUpScanner();
    SetScannerMode(1);
    EXPECT_EQ(::TerminalGetHcr0(), HCR0_SCAN_POWER_OFF);
    EXPECT_EQ(Hcr0AttachCount(), 0);
    std::vector<LineEvent> events = Events();
    EXPECT_TRUE(Contains(events, ev::Hcr0AttachFailed));
    EXPECT_TRUE(ContainsInOrder(events, {
                                            {ev::PowerUpFailed, ev::Hcr0PowerNotAccessible, 0},
                                            {ev::FlashModeFailed, 0, 0},
                                        }));
    EXPECT_TRUE(Contains(events, ev::Hcr0ModeNotAccessible));
}

// Another owner of HCR0 keeps the mutex past the wait: the register is not
// written behind its back, and the request fails.
TEST_F(ScannerLinesTest, Hcr0HeldElsewhereIsNotWritten) {
    UsePlatform("Brinex");
    ::TerminalSetHcr0(0);
    OpenLog();
    ULONGLONG start = ::GetTickCount64();
    {
        Hcr0Holder holder;
        PowerDownScanner();
    }
    EXPECT_GE(::GetTickCount64() - start, 1500u); // the 1000 ms wait and the settle time
    EXPECT_EQ(::TerminalGetHcr0(), 0u);
    EXPECT_TRUE(ContainsInOrder(Events(), {
                                              {ev::Hcr0PowerNotAccessible, ERROR_TIMEOUT, 0},
                                              {ev::PowerDownFailed, ev::Hcr0PowerNotAccessible, 0},
                                          }));
    EXPECT_NE(LogText().find("[300]ERROR: PowerDownScanner(), 0xc1620012=sysIo.SetScanPower(0) "
                             "failed\r"),
              std::string::npos);
    // Once the owner lets go the register is reachable again.
    PowerDownScanner();
    EXPECT_EQ(::TerminalGetHcr0(), HCR0_SCAN_POWER_OFF);
}
