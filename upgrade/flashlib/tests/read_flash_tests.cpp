// Reading the engine's flash back into a host copy.
#include "protocol_fixture.h"

#include "engine/scan_engine.h"
#include "protocol.h"

using engine::Action;
using engine::Fault;
using engine::Point;

namespace {

constexpr DWORD ExtractFlashWords = 1000;

std::vector<WORD> FlashContents() {
    std::vector<WORD> words(ExtractFlashWords);
    for (DWORD i = 0; i < ExtractFlashWords; ++i) {
        words[i] = static_cast<WORD>(i * 0x9E37 + 0x1234);
    }
    return words;
}

} // namespace

class ReadFlashTest : public ProtocolTest {
protected:
    int Extract(std::vector<Fault> faults, const std::string& hostCopy) {
        engine::EngineConfig config;
        config.flashWords = ExtractFlashWords;
        config.faults = std::move(faults);
        config.preset = FlashContents();
        StartEngine(config);
        std::string driver = MakeFile("driver.bin", Pattern(256, 11));
        DWORD flashSize = 0;
        EXPECT_EQ(download_correct_flash_driver(Port(), driver.c_str(), 2, &flashSize, 1), 0);
        EXPECT_EQ(flashSize, ExtractFlashWords);
        int result = read_flash(Port(), flashSize, hostCopy.c_str());
        StopEngine();
        return result;
    }
};

TEST_F(ReadFlashTest, ExtractOf1000WordsReadsSevenWholeBlocks) {
    EXPECT_EQ(Extract({}, PathOf("copy.bin")), 0);
    std::string copy = ReadBack("copy.bin");
    ASSERT_EQ(copy.size(), 1792u);
    std::vector<WORD> flash = FlashContents();
    for (size_t i = 0; i < 896; ++i) {
        ASSERT_EQ(WordAt(copy, i), flash[i]) << i;
    }
    EXPECT_NE(LogText().find("[245]blocks read(7)\r"), std::string::npos);
    EXPECT_TRUE(Engine().Complaints().empty());
    // {0x15, 128, 0, 0x0300, 0} asks for the seventh block.
    EXPECT_TRUE(ContainsRun(HostBytes(), {0x00, 0x15, 0x00, 0x80, 0x00, 0x00, 0x03, 0x00}));
}

TEST_F(ReadFlashTest, HostCopyThatCannotBeCreatedFailsBeforeAnyRead) {
    std::string copy = PathOf("no such folder\\copy.bin");
    EXPECT_NE(Extract({}, copy), 0);
    EXPECT_FALSE(ContainsRun(HostBytes(), {0x00, 0x15}));
    EXPECT_NE(LogText().find("[243]ERROR: read_flash(), opening host copy of " + copy +
                             " of size 1000\r"),
              std::string::npos);
}

struct ReadFailure {
    const char* name;
    std::vector<Fault> faults;
    std::string log;
};

std::ostream& operator<<(std::ostream& out, const ReadFailure& row) {
    return out << row.name;
}

DWORD FirstBlockChecksum() {
    std::vector<WORD> flash = FlashContents();
    return engine::WeightedChecksum(flash.data(), 128);
}

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%lx", value);
    return text;
}

const ReadFailure ReadFailures[] = {
    {"ChecksumMismatch",
     {{Point::ReadChecksumByte, Action::Corrupt, 3, engine::AnyCommand, 0x01}},
     "[234]ERROR: rx'd checksum(" + Hex(FirstBlockChecksum() ^ 1) + ") != calculated checksum(" +
         Hex(FirstBlockChecksum()) + ")\r[245]blocks read(0)\r"},
    {"ReadNotAcknowledged",
     {{Point::CommandAck, Action::Replace, engine::EveryTime, 0x15, 0x30}},
     "[230]ERROR: <-- command ack(0x30) for watchdog to timeout\r[245]blocks read(0)\r"},
    {"LineDropsMidBlock",
     {{Point::ReadWordByte, Action::Silence, 128 * 2 + 50, engine::AnyCommand, 0}},
     "[200]ERROR: receive_byte(), 0x1=ReadFile(), dwNumRead=0, timediff=T, 0x0=GetLastError()\r"
     "[231]ERROR: <-- block(25)\r[232]ERROR: reading block\r[245]blocks read(1)\r"},
    {"ChecksumCutOff",
     {{Point::ReadChecksumByte, Action::Silence, 1, engine::AnyCommand, 0}},
     "[233]ERROR: <-- checksum\r[245]blocks read(0)\r"},
};

class ReadFailureTest : public ReadFlashTest, public ::testing::WithParamInterface<ReadFailure> {};

TEST_P(ReadFailureTest, FailsWithItsLogLines) {
    EXPECT_NE(Extract(GetParam().faults, PathOf("copy.bin")), 0);
    std::string log = LogText();
    EXPECT_NE(log.find(GetParam().log), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(EngineFaults, ReadFailureTest, ::testing::ValuesIn(ReadFailures),
                         [](const ::testing::TestParamInfo<ReadFailure>& info) {
                             return std::string(info.param.name);
                         });
