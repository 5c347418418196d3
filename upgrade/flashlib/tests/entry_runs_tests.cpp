// Complete upgrade and extract runs through the library's exports against the
// simulated engine, which answers only while the terminal's lines have it
// powered up in flash mode.
#include "terminal_fixture.h"

#include "engine/verdict.h"
#include "testsupport/paths.h"
#include "upgrade_events.h"

namespace ev = hvt::upgrade;

namespace {

constexpr LONG Failure = static_cast<LONG>(0x80004005);
constexpr DWORD FlashWords = 0x400;

const std::vector<TerminalDeviceRequest> RunRequests = {
    {IOCTL_SYI_SCAN_POWER, 0}, {IOCTL_SYI_SCAN_MODE, 1}, {IOCTL_SYI_SCAN_POWER, 1},
    {IOCTL_SYI_SCAN_POWER, 0}, {IOCTL_SYI_SCAN_MODE, 0},
};

std::vector<WORD> WordsOf(const std::string& bytes) {
    std::vector<WORD> words(bytes.size() / 2);
    for (size_t i = 0; i < words.size(); ++i) {
        words[i] = static_cast<WORD>(static_cast<BYTE>(bytes[2 * i]) |
                                     (static_cast<BYTE>(bytes[2 * i + 1]) << 8));
    }
    return words;
}

// A port of the caller's at 9600 baud with two stop bits, as a data server
// would hold it.
common::UniqueFile CallerPort(DCB* settings) {
    common::UniqueFile port(::CreateFileW(L"COM4:", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    ::GetCommState(port.get(), &dcb);
    dcb.BaudRate = CBR_9600;
    dcb.StopBits = TWOSTOPBITS;
    dcb.ByteSize = 7;
    dcb.Parity = EVENPARITY;
    dcb.fParity = TRUE;
    ::SetCommState(port.get(), &dcb);
    *settings = DCB{};
    settings->DCBlength = sizeof(DCB);
    ::GetCommState(port.get(), settings);
    return port;
}

void ExpectSameLineSettings(HANDLE port, const DCB& expected) {
    DCB now{};
    now.DCBlength = sizeof(now);
    ASSERT_TRUE(::GetCommState(port, &now)) << ::GetLastError();
    EXPECT_EQ(now.BaudRate, expected.BaudRate);
    EXPECT_EQ(now.StopBits, expected.StopBits);
    EXPECT_EQ(now.ByteSize, expected.ByteSize);
    EXPECT_EQ(now.Parity, expected.Parity);
    EXPECT_EQ(now.fParity, expected.fParity);
}

} // namespace

class EntryRunsTest : public TerminalTest {
protected:
    void SetUp() override {
        TerminalTest::SetUp();
        driverBytes_ = Pattern(512, 1);
        imageBytes_ = Pattern(1024, 2);
        driver_ = MakeFile(L"driver.bin", driverBytes_);
        image_ = MakeFile(L"image.bin", imageBytes_);
        hostCopy_ = PathOf(L"host.bin");
    }

    void StartEngineWithPreset() {
        engine::EngineConfig config;
        config.flashWords = FlashWords;
        preset_ = Pattern(FlashWords * 2, 3);
        config.preset = WordsOf(preset_);
        StartEngine(config);
    }

    void ExpectImageInFlash() {
        const std::vector<WORD>& flash = Engine().Flash().Words();
        std::vector<WORD> image = WordsOf(imageBytes_);
        ASSERT_GE(flash.size(), image.size());
        EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin()));
        EXPECT_EQ(Engine().CurrentStage(), engine::Stage::Off);
        EXPECT_EQ(Engine().DriverWords(), WordsOf(driverBytes_));
    }

    std::string driverBytes_, imageBytes_, preset_;
    std::wstring driver_, image_, hostCopy_;
};

TEST_F(EntryRunsTest, UpgradeWritesTheImageWithTheLinesInForce) {
    ASSERT_TRUE(testsupport::WriteFileBytes(RootLogPath, ""));
    StartEngineWithPreset();
    HANDLE slot = INVALID_HANDLE_VALUE;
    EXPECT_EQ(upgrade_(&slot, L"COM4:", driver_.c_str(), image_.c_str()), 0);
    EXPECT_EQ(slot, INVALID_HANDLE_VALUE);
    StopEngine();
    ExpectImageInFlash();
    EXPECT_EQ(DeviceRequests(), RunRequests);
    EXPECT_EQ(::TerminalGetHcr0(), HCR0_SCAN_POWER_OFF); // powered down, scanning mode
    EXPECT_TRUE(ContainsInOrder(Events(), {
                                              {ev::ImageFound, 0, 0},
                                              {ev::DriverFound, 0, 0},
                                              {ev::PowerDownRequested, 0, 0},
                                              {ev::FlashModeRequested, 1, 0},
                                              {ev::PowerUpRequested, 0, 0},
                                              {ev::PortConfigured, 38400, 0},
                                              {ev::EngineDetected, 0, 0},
                                              {ev::FlashWritten, 0, 0},
                                              {ev::UpgradeSuccessful, 0, 0},
                                              {ev::PowerDownRequested, 0, 0},
                                              {ev::ScanningModeRequested, 0, 0},
                                          }));
    std::string log = testsupport::ReadFileBytes(RootLogPath);
    std::string image(image_.begin(), image_.end());
    std::string driver(driver_.begin(), driver_.end());
    for (const std::string& line : {
             std::string("[100]UpgradeQ4M(port=0xffffffff) entry\r"),
             "[102]UpgradeQ4M(), " + image + " was found\r",
             "[104]UpgradeQ4M(), " + driver + " was found\r",
             std::string("[105]UpgradeQ4M(), Power down scanner\r"),
             std::string("[106]UpgradeQ4M(), Set scanner mode to accept download\r"),
             std::string("[111]UpgradeQ4M(), CreateFile(COM4:)\r"),
             std::string("[113]UpgradeQ4M(), New settings: baud(38400), parity(0), stopbits(0), "
                         "databits(8)\r"),
             std::string("[114]UpgradeQ4M(), Serial timeouts: \r\tReadTotalTimeoutConstant=3000\r"
                         "\tReadIntervalTimeout=0\r\tReadTotalTimeoutMultiplier=0\r"
                         "\tWriteTotalTimeoutConstant=3000\r\tWriteTotalTimeoutMultiplier=0\r"),
             std::string("[115]UpgradeQ4M(), Power up scanner\r"),
             std::string("write_flash(), Flash memory written.\r"),
             std::string("[119]UpgradeQ4M(), Closing port resource\r"),
             std::string("[120]UpgradeQ4M(), Power down scanner\r"),
             std::string("[121]UpgradeQ4M(), Set scanner to scan mode\r"),
         }) {
        EXPECT_NE(log.find(line), std::string::npos) << line;
    }
    EXPECT_NE(log.find("[116]UpgradeQ4M(), 0x0=Upgrade(0x"), std::string::npos);
    EXPECT_EQ(log.rfind("[122]UpgradeQ4M() exit\r"), log.size() - 23);
}

TEST_F(EntryRunsTest, ExtractReadsTheFlashIntoTheHostCopy) {
    StartEngineWithPreset();
    std::wstring missingImage = PathOf(L"no image.bin");
    std::wstring log = PathOf(L"extract.log");
    HANDLE slot = INVALID_HANDLE_VALUE;
    EXPECT_EQ(extract_(&slot, L"COM4:", driver_.c_str(), missingImage.c_str(), hostCopy_.c_str(),
                       log.c_str()),
              0);
    // The closed port's handle does not stay behind in the caller's slot.
    EXPECT_EQ(slot, INVALID_HANDLE_VALUE);
    StopEngine();
    EXPECT_EQ(testsupport::ReadFileBytes(hostCopy_), preset_);
    EXPECT_EQ(Engine().Erasures(), 0);
    EXPECT_EQ(DeviceRequests(), RunRequests);
    EXPECT_EQ(::TerminalGetHcr0(), HCR0_SCAN_POWER_OFF);
    std::string text = testsupport::ReadFileBytes(log);
    std::string image(missingImage.begin(), missingImage.end());
    EXPECT_EQ(text.find("[150]ExtractQ4M(port=0xffffffff) entry\r[151]ExtractQ4M(), " + image +
                        " was not found. No real time check available\r"),
              0u)
        << text;
    EXPECT_NE(text.find("blocks read(8)\r"), std::string::npos);
    EXPECT_NE(text.find("[171]ExtractQ4M(), Closing port resource\r"), std::string::npos);
    EXPECT_EQ(text.rfind("[174]ExtractQ4M() exit\r"), text.size() - 23);
}

TEST_F(EntryRunsTest, ExtractWithAnUnwritableLogStillExtractsButFails) {
    StartEngineWithPreset();
    HANDLE slot = INVALID_HANDLE_VALUE;
    EXPECT_EQ(extract_(&slot, L"COM4:", driver_.c_str(), image_.c_str(), hostCopy_.c_str(),
                       PathOf(L"no such folder\\extract.log").c_str()),
              Failure);
    EXPECT_EQ(testsupport::ReadFileBytes(hostCopy_), preset_);
    EXPECT_EQ(slot, INVALID_HANDLE_VALUE);

    // Without a log path nothing is logged and the run alone decides.
    ASSERT_TRUE(::DeleteFileW(hostCopy_.c_str()));
    EXPECT_EQ(
        extract_(&slot, L"COM4:", driver_.c_str(), image_.c_str(), hostCopy_.c_str(), nullptr), 0);
    StopEngine();
    EXPECT_EQ(testsupport::ReadFileBytes(hostCopy_), preset_);
}

TEST_F(EntryRunsTest, UpgradeUnderTheDataServerHandsBackAPortWithTheCallersSettings) {
    StartEngineWithPreset();
    DCB callers{};
    common::UniqueFile caller = CallerPort(&callers);
    ASSERT_TRUE(caller);
    // The pty keeps 8 data bits and no parity whatever is set.
    ASSERT_EQ(callers.BaudRate, static_cast<DWORD>(CBR_9600));
    ASSERT_EQ(callers.StopBits, TWOSTOPBITS);
    HANDLE slot = caller.release(); // the library closes it
    EXPECT_EQ(upgrade_(&slot, L"COM4:", driver_.c_str(), image_.c_str()), 0);
    common::UniqueFile returned(slot);
    ASSERT_TRUE(returned);
    ExpectSameLineSettings(returned.get(), callers);
    StopEngine();
    ExpectImageInFlash();
    EXPECT_TRUE(ContainsInOrder(Events(), {
                                              {ev::UpgradeSuccessful, 0, 0},
                                              {ev::RestoringDataServerSettings, 9600, 0},
                                          }));
}

TEST_F(EntryRunsTest, ExtractUnderTheDataServerHandsBackAPortWithTheCallersSettings) {
    StartEngineWithPreset();
    DCB callers{};
    common::UniqueFile caller = CallerPort(&callers);
    ASSERT_TRUE(caller);
    HANDLE slot = caller.release();
    std::wstring log = PathOf(L"extract.log");
    EXPECT_EQ(
        extract_(&slot, L"COM4:", driver_.c_str(), image_.c_str(), hostCopy_.c_str(), log.c_str()),
        0);
    common::UniqueFile returned(slot);
    ASSERT_TRUE(returned);
    ExpectSameLineSettings(returned.get(), callers);
    StopEngine();
    EXPECT_EQ(testsupport::ReadFileBytes(hostCopy_), preset_);
    std::string text = testsupport::ReadFileBytes(log);
    char saved[160];
    std::snprintf(saved, sizeof(saved),
                  "[158]ExtractQ4M(), Saved serial settings: baud(9600), parity(%d), stopbits(2), "
                  "databits(%d)\r",
                  static_cast<int>(callers.fParity), static_cast<int>(callers.ByteSize));
    EXPECT_NE(text.find("[156]ExtractQ4M(), Running under data server\r"
                        "[157]ExtractQ4M(), Retrieve current serial settings\r" +
                        std::string(saved) +
                        "[159]ExtractQ4M(), Now close handle so that upgrade can take control\r"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("[169]ExtractQ4M(), Data server run. Attempting to restore serial "
                        "params\r"),
              std::string::npos);
}

TEST_F(EntryRunsTest, UpgradeOnBrinexDrivesHcr0Only) {
    SetPlatformName("Brinex");
    constexpr DWORD OtherBit = 0x40000000;
    ::TerminalSetHcr0(OtherBit | HCR0_SCAN_POWER_OFF);
    StartEngineWithPreset();
    HANDLE slot = INVALID_HANDLE_VALUE;
    EXPECT_EQ(upgrade_(&slot, L"COM4:", driver_.c_str(), image_.c_str()), 0);
    StopEngine();
    ExpectImageInFlash();
    EXPECT_TRUE(DeviceRequests().empty());
    EXPECT_EQ(::TerminalGetHcr0(), OtherBit | HCR0_SCAN_POWER_OFF);
    std::vector<LineEvent> events = Events();
    EXPECT_TRUE(Contains(events, ev::SysIoUsesHcr0));
    EXPECT_FALSE(Contains(events, ev::SysIoUsesDriver));
}

// The lines refuse every request: the engine never wakes up, the protocol
// fails at its first exchange, and the run still ends the regular way.
TEST_F(EntryRunsTest, UpgradeFailsCleanlyWhenTheLinesFail) {
    ::TerminalSetFaults(TERMINAL_FAULT_SYI_IOCTL);
    StartEngineWithPreset();
    HANDLE slot = INVALID_HANDLE_VALUE;
    EXPECT_EQ(upgrade_(&slot, L"COM4:", driver_.c_str(), image_.c_str()), Failure);
    EXPECT_EQ(slot, INVALID_HANDLE_VALUE);
    StopEngine();
    EXPECT_EQ(HostBytes(), std::vector<BYTE>{0x00}); // the auto-baud byte, unanswered
    EXPECT_EQ(Engine().CurrentStage(), engine::Stage::Off);
    EXPECT_EQ(Engine().Flash().Words(), WordsOf(preset_));
    EXPECT_EQ(DeviceRequests(), RunRequests);
    EXPECT_TRUE(ContainsInOrder(Events(), {
                                              {ev::PowerDownFailed, ev::SysIoPowerRequestFailed, 0},
                                              {ev::FlashModeFailed, 0, 0},
                                              {ev::PowerUpFailed, ev::SysIoPowerRequestFailed, 0},
                                              {ev::DriverSetupFailed, 0, 0},
                                              {ev::PowerDownFailed, ev::SysIoPowerRequestFailed, 0},
                                              {ev::ScanningModeFailed, 0, 0},
                                          }));
}
