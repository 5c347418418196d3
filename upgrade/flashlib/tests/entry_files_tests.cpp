// The entry points before any hardware is touched: missing input files, the
// upgrade log's existence rule and paths that cannot be used.
#include "terminal_fixture.h"

#include "testsupport/paths.h"
#include "upgrade_events.h"

namespace ev = hvt::upgrade;

namespace {

constexpr LONG Failure = static_cast<LONG>(0x80004005);

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end()); // test paths are plain ASCII
}

} // namespace

class EntryFilesTest : public TerminalTest {
protected:
    void SetUp() override {
        TerminalTest::SetUp();
        ::DeleteFileW(RootLogPath);
        driver_ = MakeFile(L"driver.bin", Pattern(512, 1));
        image_ = MakeFile(L"image.bin", Pattern(1024, 2));
        missing_ = PathOf(L"missing.bin");
        engine::EngineConfig config;
        config.flashWords = 0x400;
        StartEngine(config);
    }

    // Nothing reached the engine's lines or its port.
    void ExpectNothingTouched(const std::vector<LineEvent>& events) {
        StopEngine();
        EXPECT_TRUE(DeviceRequests().empty());
        EXPECT_EQ(::TerminalGetHcr0(), HCR0_SCAN_POWER_OFF);
        EXPECT_TRUE(HostBytes().empty());
        EXPECT_FALSE(Contains(events, ev::PowerDownRequested));
        EXPECT_FALSE(Contains(events, ev::FlashModeRequested));
    }

    std::wstring driver_, image_, missing_;
};

TEST_F(EntryFilesTest, UpgradeWithoutItsImageTouchesNothing) {
    HANDLE slot = INVALID_HANDLE_VALUE;
    EXPECT_EQ(upgrade_(&slot, L"COM4:", driver_.c_str(), missing_.c_str()), Failure);
    EXPECT_EQ(slot, INVALID_HANDLE_VALUE);
    std::vector<LineEvent> events = Events();
    EXPECT_TRUE(Contains(events, ev::ImageMissing));
    ExpectNothingTouched(events);
}

TEST_F(EntryFilesTest, UpgradeWithoutItsDriverTouchesNothing) {
    HANDLE slot = INVALID_HANDLE_VALUE;
    EXPECT_EQ(upgrade_(&slot, L"COM4:", missing_.c_str(), image_.c_str()), Failure);
    EXPECT_EQ(slot, INVALID_HANDLE_VALUE);
    std::vector<LineEvent> events = Events();
    EXPECT_TRUE(ContainsInOrder(events, {{ev::ImageFound, 0, 0}, {ev::DriverMissing, 0, 0}}));
    EXPECT_FALSE(Contains(events, ev::ImageMissing));
    ExpectNothingTouched(events);
}

TEST_F(EntryFilesTest, ExtractWithoutItsDriverTouchesNothing) {
    HANDLE slot = INVALID_HANDLE_VALUE;
    std::wstring log = PathOf(L"extract.log");
    EXPECT_EQ(extract_(&slot, L"COM4:", missing_.c_str(), image_.c_str(),
                       PathOf(L"host.bin").c_str(), log.c_str()),
              Failure);
    EXPECT_EQ(slot, INVALID_HANDLE_VALUE);
    ExpectNothingTouched(Events());
    EXPECT_EQ(::GetFileAttributesW(PathOf(L"host.bin").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(testsupport::ReadFileBytes(log), "[150]ExtractQ4M(port=0xffffffff) entry\r"
                                               "[152]ExtractQ4M(), " +
                                                   Narrow(missing_) +
                                                   " was not found.\r"
                                                   "[174]ExtractQ4M() exit\r");
}

TEST_F(EntryFilesTest, UpgradeWritesNoLogUnlessTheRootLogExists) {
    HANDLE slot = INVALID_HANDLE_VALUE;
    EXPECT_EQ(upgrade_(&slot, L"COM4:", driver_.c_str(), missing_.c_str()), Failure);
    EXPECT_EQ(::GetFileAttributesW(RootLogPath), INVALID_FILE_ATTRIBUTES);
}

TEST_F(EntryFilesTest, UpgradeFillsAnExistingRootLogFromItsStart) {
    ASSERT_TRUE(testsupport::WriteFileBytes(RootLogPath, ""));
    HANDLE slot = INVALID_HANDLE_VALUE;
    EXPECT_EQ(upgrade_(&slot, L"COM4:", driver_.c_str(), missing_.c_str()), Failure);
    std::string expected = "[100]UpgradeQ4M(port=0xffffffff) entry\r"
                           "[101]UpgradeQ4M(), " +
                           Narrow(missing_) +
                           " was not found.\r"
                           "[122]UpgradeQ4M() exit\r";
    EXPECT_EQ(testsupport::ReadFileBytes(RootLogPath), expected);

    // An older, longer log keeps its tail beyond the new lines.
    std::string older(expected.size() + 10, 'x');
    ASSERT_TRUE(testsupport::WriteFileBytes(RootLogPath, older));
    EXPECT_EQ(upgrade_(&slot, L"COM4:", driver_.c_str(), missing_.c_str()), Failure);
    EXPECT_EQ(testsupport::ReadFileBytes(RootLogPath), expected + std::string(10, 'x'));
}

TEST_F(EntryFilesTest, UnusablePathsFailWithoutHarm) {
    std::wstring tooLong = PathOf(std::wstring(300, L'a'));
    HANDLE slot = INVALID_HANDLE_VALUE;
    EXPECT_EQ(upgrade_(&slot, L"COM4:", driver_.c_str(), tooLong.c_str()), Failure);
    EXPECT_EQ(upgrade_(&slot, L"COM4:", nullptr, nullptr), Failure);
    EXPECT_EQ(extract_(&slot, L"COM4:", nullptr, nullptr, nullptr, nullptr), Failure);
    // A caller without a slot is treated as one whose slot holds no handle.
    EXPECT_EQ(upgrade_(nullptr, L"COM4:", driver_.c_str(), missing_.c_str()), Failure);
    EXPECT_EQ(slot, INVALID_HANDLE_VALUE);
    ExpectNothingTouched(Events());
}
