// A complete upgrade against the simulated engine, and every way the engine
// can make it fail.
#include "protocol_fixture.h"

#include <cstdio>

#include "engine/verdict.h"
#include "protocol.h"
#include "testsupport/paths.h"

using engine::Action;
using engine::Fault;
using engine::Point;

namespace {

constexpr DWORD SmallFlash = 0x400;

// One driver block; an image of a data block and a block of equal words.
std::string SmallDriver() {
    return Pattern(256, 1);
}
std::string SmallImage() {
    return Pattern(256, 2) + Repeat(0x1234, 128);
}

std::string Golden(const char* name) {
    std::string path = std::string(GOLDEN_DIR) + "/" + name;
    std::wstring wide = L"Z:" + std::wstring(path.begin(), path.end());
    return testsupport::ReadFileBytes(wide);
}

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%lx", value);
    return text;
}

} // namespace

class UpgradeTest : public ProtocolTest {};

TEST_F(UpgradeTest, SmallUpgradeMatchesTheGoldenTranscriptLogAndEvents) {
    engine::EngineConfig config;
    config.flashWords = SmallFlash;
    StartEngine(config);
    std::string driver = MakeFile("driver.bin", SmallDriver());
    std::string image = MakeFile("image.bin", SmallImage());

    EXPECT_EQ(Upgrade(Port(), driver.c_str(), image.c_str()), Q4M_SUCCESS);
    StopEngine();

    EXPECT_EQ(Wire(), Golden("small_upgrade.txt"));
    EXPECT_EQ(engine::FlashVerdict(Engine(), std::wstring(image.begin(), image.end())),
              "flash holds the image (256 words)");
    EXPECT_EQ(Engine().Flash().Words()[256], 0xFFFF); // erased beyond the image
    EXPECT_TRUE(Engine().Complaints().empty());
    std::string handle = Hex(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(Port())));
    EXPECT_EQ(LogText(),
              "[246]Upgrade(" + handle + "," + driver + "," + image +
                  "), Entry\r"
                  "[214]download_correct_flash_driver(drvname=" +
                  driver +
                  ", drivernum=2, flashsize=0, ackmode=1), entry\r"
                  "[215]download_correct_flash_driver(), Auto baud detection successful. Flash "
                  "driver download start.\r"
                  "[212]flash driver download complete\r\r"
                  "[222]<-- version(Q4M FLASH DRIVER 1.0) max len(0x80)\r"
                  "[217]flash successfully initialized\r"
                  "[227]erase_flash(), flash erase successful\r"
                  "[241]write_flash(), Flash memory written.\r");
    std::vector<RaisedEvent> expected = {
        {0x42BB0004, 0, 0}, {0x02BB0004, 0, 0},   {0x02BB0004, 0, 0}, {0x42BB0005, 0, 0},
        {0x42BB0006, 0, 0}, {0x42BB0007, 1, 256}, {0x42BB0008, 0, 0}, {0x02BB0005, 0, 0},
        {0x02BB0005, 0, 0}, {0x02BB0007, 0, 0},   {0x42BB000A, 0, 0}, {0x02BB000C, 0, 0},
        {0x02BB0006, 0, 0}, {0x02BB000B, 0, 0},   {0x42BB000E, 0, 0}, {0x42BB0010, 0, 0},
        {0x42BB0011, 0, 0}, {0x42BB000C, 2, 0},   {0x02BB000A, 0, 0}, {0x42BB0009, 0, 0},
        {0x02BB0008, 0, 0}, {0x02BB0009, 0, 0},
    };
    EXPECT_EQ(Events(), expected);
}

TEST_F(UpgradeTest, ImageLargerThanTheFlashFailsWithoutErasing) {
    engine::EngineConfig config;
    config.flashWords = 255; // the image has 256 words
    StartEngine(config);
    std::string driver = MakeFile("driver.bin", SmallDriver());
    std::string image = MakeFile("image.bin", SmallImage().substr(0, 512));

    EXPECT_EQ(Upgrade(Port(), driver.c_str(), image.c_str()), Q4M_FAILURE);
    StopEngine();

    EXPECT_EQ(Engine().Erasures(), 0);
    EXPECT_EQ(Engine().CurrentStage(), engine::Stage::DriverRemoved);
    EXPECT_NE(LogText().find("[237]ERROR: write_flash(), file size numwords=256, numblocks=2, "
                             "flashsize=255\r[249]ERROR: Upgrade(), writing flash\r"),
              std::string::npos);
    EXPECT_TRUE(ContainsInOrder(Events(), {{0xC2BB003D, 2, 512}, {0x02BB0009, 0, 0}}));
}

TEST_F(UpgradeTest, MissingImageFailsWithoutErasing) {
    engine::EngineConfig config;
    config.flashWords = SmallFlash;
    StartEngine(config);
    std::string driver = MakeFile("driver.bin", SmallDriver());
    std::string image = PathOf("no such image.bin");

    EXPECT_EQ(Upgrade(Port(), driver.c_str(), image.c_str()), Q4M_FAILURE);
    StopEngine();

    EXPECT_EQ(Engine().Erasures(), 0);
    EXPECT_NE(LogText().find("[236]ERROR: write_flash(), cannot open " + image +
                             "\r[249]ERROR: Upgrade(), writing flash\r"),
              std::string::npos);
    EXPECT_TRUE(ContainsInOrder(Events(), {{0xC2BB003C, 0, 0}, {0x02BB0009, 0, 0}}));
}

// ---- Failures the engine can cause, one row each ------------------------

struct EngineFailure {
    const char* name;
    std::vector<Fault> faults;
    std::string log;                 // consecutive lines the log must hold
    std::vector<RaisedEvent> events; // events that must be raised, in this order
    int erasures;
    bool driverRemoved;
    LONG result = Q4M_FAILURE;
    std::vector<int> blockOrder = {};
    DWORD flashWords = SmallFlash;
    std::string version = "Q4M FLASH DRIVER 1.0";
};

std::ostream& operator<<(std::ostream& out, const EngineFailure& row) {
    return out << row.name;
}

constexpr BYTE Nak = 0x30;
const std::string ReadTimedOut =
    "[200]ERROR: receive_byte(), 0x1=ReadFile(), dwNumRead=0, timediff=T, 0x0=GetLastError()\r";
const std::string DriverFailed = "[247]ERROR: Upgrade(), download_correct_flash_driver() failed\r";
const RaisedEvent SetupFailed{0xC2BB002F, 0, 0};
const RaisedEvent Removed{0x02BB0009, 0, 0};

Fault At(Point point, Action action, DWORD value, BYTE command = engine::AnyCommand,
         int occurrence = engine::EveryTime) {
    return Fault{point, action, occurrence, command, value};
}

const EngineFailure EngineFailures[] = {
    {"AutoBaudUnanswered",
     {At(Point::AutoBaudAnswer, Action::Silence, 0)},
     ReadTimedOut + DriverFailed,
     {{0xC2BB0027, 0, 0}, SetupFailed},
     0,
     false},
    {"AutoBaudWrongAnswer",
     {At(Point::AutoBaudAnswer, Action::Replace, 0x55)},
     "ackmode=1), entry\r" + DriverFailed,
     {{0xC2BB0027, 0, 0}, SetupFailed},
     0,
     false},
    {"DownloadRefused",
     {At(Point::DownloadAccept, Action::Replace, 0x00)},
     "[208]ERROR: <-- response(0x0)\r[213]ERROR: error transmiting block:0\r\r" + DriverFailed,
     {{0x42BB0005, 0, 0}, {0x42BB0008, 0, 0}, {0xC2BB002D, 0, 0}, SetupFailed},
     0,
     false},
    {"BadBlockRequest",
     {At(Point::BlockRequest, Action::Replace, 0x81)},
     "[211]<-- bad block request(0x81)\r[213]ERROR: error transmiting block:0\r\r" + DriverFailed,
     {{0xC2BB002A, 0, 0}, {0x42BB0008, 0, 0}, {0xC2BB002D, 0, 0}, SetupFailed},
     0,
     false},
    {"BlockAboveTheDriversCount",
     {},
     "[209]ERROR: num of blocks requested > actual number of blocks. reply=2, numblocks=1\r"
     "[213]ERROR: error transmiting block:2\r\r" +
         DriverFailed,
     {{0xC2BB002B, 0, 0}, {0x42BB0008, 0, 0}, {0xC2BB002D, 2, 0}, SetupFailed},
     0,
     false,
     Q4M_FAILURE,
     {1, 2}},
    {"BlockZero",
     {},
     "[211]<-- bad block request(0x0)\r[213]ERROR: error transmiting block:0\r\r" + DriverFailed,
     {{0xC2BB002A, 0, 0}, {0xC2BB002D, 0, 0}, SetupFailed},
     0,
     false,
     Q4M_FAILURE,
     {0}},
    {"NoChecksumRequest",
     {At(Point::ChecksumRequest, Action::Replace, 0x7E)},
     "start.\r[213]ERROR: error transmiting block:1\r\r" + DriverFailed,
     {{0xC2BB002D, 1, 0}, SetupFailed},
     0,
     false},
    {"AckModeNotAcknowledged",
     {At(Point::CommandAck, Action::Replace, Nak, 0x10)},
     "[212]flash driver download complete\r\r[223]ERROR: rx'ing cmd ack.\r" + DriverFailed,
     {{0xC2BB0039, 0, 0}, SetupFailed},
     0,
     false},
    {"AckModeNotDone",
     {At(Point::CommandDone, Action::Replace, Nak, 0x10)},
     "[224]ERROR: scanner did not respond to ack mode request\r" + DriverFailed,
     {{0xC2BB0038, 0, 0}, SetupFailed},
     0,
     false},
    {"FlashInitNotAcknowledged",
     {At(Point::CommandAck, Action::Replace, Nak, 0x11)},
     "[219]ERROR: <-- cmd ack(0x30)\r[216]ERROR: flash init failed\r" + DriverFailed,
     {{0xC2BB0031, 0, 0}, {0xC2BB003B, 0, 0}, SetupFailed},
     0,
     false},
    {"FlashSizeCutOff",
     {At(Point::FlashSize, Action::Silence, 0, engine::AnyCommand, 2)},
     ReadTimedOut + "[220]ERROR: <-- flash size(0)\r[216]ERROR: flash init failed\r" + DriverFailed,
     {{0x42BB000A, 0, 0}, {0xC2BB003B, 0, 0}, SetupFailed},
     0,
     false},
    {"VersionCutOff",
     {At(Point::VersionByte, Action::Silence, 0, engine::AnyCommand, 3)},
     ReadTimedOut +
         "[203]ERROR: receive_string() rxing string\r[221]ERROR: rx'ing version\r"
         "[216]ERROR: flash init failed\r" +
         DriverFailed,
     {{0xC2BB0042, 0, 0}, {0xC2BB0030, 0, 0}, {0xC2BB003B, 0, 0}, SetupFailed},
     0,
     false},
    {"VersionTooLong",
     {},
     "[202]ERROR: receive_string(), due to received string too long\r"
     "[221]ERROR: rx'ing version\r[216]ERROR: flash init failed\r" +
         DriverFailed,
     {{0xC2BB0041, 0, 0}, {0xC2BB0030, 0, 0}, {0xC2BB003B, 0, 0}, SetupFailed},
     0,
     false,
     Q4M_FAILURE,
     {},
     SmallFlash,
     std::string(200, 'V')},
    {"FlashSizeZero",
     {},
     "[217]flash successfully initialized\r"
     "[218]ERROR: flash size returned from scanner is zero\r" +
         DriverFailed,
     {{0x02BB000C, 0, 0}, {0xC2BB003A, 0, 0}, SetupFailed},
     0,
     false,
     Q4M_FAILURE,
     {},
     0},
    {"EraseNotAcknowledged",
     {At(Point::CommandAck, Action::Replace, Nak, 0x14)},
     "[225]ERROR: erase_all_cmd(), Error rx'ing cmd ack\r[228]ERROR: erase_flash(), flash "
     "erase\r[248]ERROR: Upgrade(), erasing flash\r",
     {{0xC2BB0036, 0, 0}, {0xC2BB0040, 0, 0}, {0x42BB0009, 0, 0}, Removed},
     0,
     true},
    {"EraseNotDone",
     {At(Point::CommandDone, Action::Replace, Nak, 0x14)},
     "[226]ERROR: erase_all_cmd(), rx'ing cmd done\r[228]ERROR: erase_flash(), flash "
     "erase\r[248]ERROR: Upgrade(), erasing flash\r",
     {{0xC2BB0037, 0, 0}, {0xC2BB0040, 0, 0}, Removed},
     1,
     true},
    {"SlowEraseWithinItsTimeout",
     {At(Point::CommandDone, Action::Delay, 4000, 0x14)},
     "[227]erase_flash(), flash erase successful\r[241]write_flash(), Flash memory written.\r",
     {{0x02BB000B, 0, 0}, {0x02BB000A, 0, 0}, Removed},
     1,
     true,
     Q4M_SUCCESS},
    {"WriteBlockNotDone",
     {At(Point::CommandDone, Action::Replace, Nak, 0x16)},
     "[229]ERROR: writing block\r[242]write_flash(), ERROR writing flash memory.\r"
     "[249]ERROR: Upgrade(), writing flash\r",
     {{0xC2BB0035, 0, 0}, {0xC2BB003F, 0, 0}, Removed},
     1,
     true},
    // No pause after a missing write ack: the engine is still waiting for
    // its ack when the remove command arrives, and refuses it.
    {"WriteBlockNotAcknowledged",
     {At(Point::CommandAck, Action::Replace, Nak, 0x16)},
     "[242]write_flash(), ERROR writing flash memory.\r[249]ERROR: Upgrade(), writing flash\r" +
         ReadTimedOut + "[250]ERROR: Upgrade(), removing flash driver\r",
     {{0xC2BB003F, 0, 0}, {0x42BB0009, 0, 0}, {0xC2BB0033, 0, 0}, {0x42BB0009, 0, 0}},
     1,
     false},
    {"WriteSameWordNotDone",
     {At(Point::CommandDone, Action::Replace, Nak, 0x17)},
     "[242]write_flash(), ERROR writing flash memory.\r[249]ERROR: Upgrade(), writing flash\r",
     {{0xC2BB003F, 0, 0}, Removed},
     1,
     true},
    {"RemoveDriverNotAcknowledged",
     {At(Point::CommandAck, Action::Replace, Nak, 0x12)},
     "[241]write_flash(), Flash memory written.\r[250]ERROR: Upgrade(), removing flash driver\r",
     {{0x42BB0009, 0, 0}, {0xC2BB0033, 0, 0}, {0x42BB0009, 0, 0}},
     1,
     false},
    {"RemoveDriverNotDone",
     {At(Point::CommandDone, Action::Replace, Nak, 0x12)},
     "[250]ERROR: Upgrade(), removing flash driver\r",
     {{0x42BB0009, 0, 0}, {0x02BB0008, 0, 0}, {0xC2BB0032, 0, 0}, {0x42BB0009, 0, 0}},
     1,
     false},
};

class UpgradeFailureTest : public ProtocolTest,
                           public ::testing::WithParamInterface<EngineFailure> {};

TEST_P(UpgradeFailureTest, FailsWithItsLogLinesAndEvents) {
    const EngineFailure& row = GetParam();
    engine::EngineConfig config;
    config.flashWords = row.flashWords;
    config.version = row.version;
    config.blockOrder = row.blockOrder;
    config.faults = row.faults;
    StartEngine(config);
    std::string driver = MakeFile("driver.bin", SmallDriver());
    std::string image = MakeFile("image.bin", SmallImage());

    EXPECT_EQ(Upgrade(Port(), driver.c_str(), image.c_str()), row.result);
    StopEngine();

    std::string log = LogText();
    EXPECT_NE(log.find(row.log), std::string::npos) << log;
    std::vector<RaisedEvent> events = Events();
    EXPECT_TRUE(ContainsInOrder(events, row.events)) << ::testing::PrintToString(events);
    EXPECT_EQ(Engine().Erasures(), row.erasures);
    EXPECT_EQ(Engine().CurrentStage() == engine::Stage::DriverRemoved, row.driverRemoved);
}

INSTANTIATE_TEST_SUITE_P(EngineFaults, UpgradeFailureTest, ::testing::ValuesIn(EngineFailures),
                         [](const ::testing::TestParamInfo<EngineFailure>& info) {
                             return std::string(info.param.name);
                         });
