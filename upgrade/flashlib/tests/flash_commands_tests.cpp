// The flash driver's commands, once the driver runs.
#include "protocol_fixture.h"

#include "protocol.h"

class FlashCommandTest : public ProtocolTest {
protected:
    // Starts the engine and brings its flash driver up; the flash size.
    DWORD StartDriver(engine::EngineConfig config = {}) {
        StartEngine(std::move(config));
        std::string driver = MakeFile("driver.bin", Pattern(256, 6));
        DWORD flashSize = 0;
        result_ = download_correct_flash_driver(Port(), driver.c_str(), 2, &flashSize, 1, version_,
                                                sizeof(version_));
        return flashSize;
    }

    // The read timeout the last exchange set on the port.
    DWORD ReadTimeout() {
        COMMTIMEOUTS timeouts{};
        ::GetCommTimeouts(Port(), &timeouts);
        EXPECT_EQ(timeouts.ReadIntervalTimeout, 0u);
        EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 0u);
        EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 0u);
        EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 1000u);
        return timeouts.ReadTotalTimeoutConstant;
    }

    int result_ = -1;
    char version_[MaximumReceivedString] = {};
};

TEST_F(FlashCommandTest, EraseFrameCarriesItsWeightedChecksum) {
    StartDriver();
    ASSERT_EQ(result_, 0);
    EXPECT_EQ(erase_flash(Port()), 0);
    EXPECT_EQ(ReadTimeout(), 31000u);
    StopEngine();
    EXPECT_TRUE(ContainsRun(
        HostBytes(), {0x00, 0x14, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00, 0x00, 0x64, 0x06, 0x06}));
    EXPECT_EQ(Engine().Erasures(), 1);
    EXPECT_NE(LogText().find("[227]erase_flash(), flash erase successful\r"), std::string::npos);
}

TEST_F(FlashCommandTest, FlashSizeArrivesHighByteFirstEachByteAcknowledged) {
    engine::EngineConfig config;
    config.flashWords = 0x00012345;
    EXPECT_EQ(StartDriver(config), 0x00012345u);
    StopEngine();
    EXPECT_NE(Wire().find("E 32\nH 06\nE 00\nH 06\nE 01\nH 06\nE 23\nH 06\nE 45\nH 06\n"),
              std::string::npos);
}

TEST_F(FlashCommandTest, VersionOf127CharactersFitsAndIsLogged) {
    engine::EngineConfig config;
    config.version = std::string(127, 'v');
    StartDriver(config);
    StopEngine();
    EXPECT_EQ(result_, 0);
    EXPECT_EQ(std::string(version_), config.version);
    EXPECT_NE(LogText().find("[222]<-- version(" + config.version + ") max len(0x80)\r"),
              std::string::npos);
}

TEST_F(FlashCommandTest, VersionOf128CharactersIsTooLongAndNeverOverruns) {
    engine::EngineConfig config;
    config.version = std::string(128, 'v');
    StartDriver(config);
    StopEngine();
    EXPECT_NE(result_, 0);
    EXPECT_EQ(std::string(version_), std::string(127, 'v'));
    EXPECT_NE(LogText().find("[202]ERROR: receive_string(), due to received string too long\r"),
              std::string::npos);
    EXPECT_TRUE(ContainsInOrder(Events(), {{0xC2BB0041, 0, 0}, {0xC2BB0030, 0, 0}}));
}

TEST_F(FlashCommandTest, SoftwareVersionGivesFourWordsAndTheVersionString) {
    engine::EngineConfig config;
    config.softwareVersion = {0x0102, 0x0304, 0xA0B0, 0xFFFF};
    StartDriver(config);
    ASSERT_EQ(result_, 0);
    WORD words[4] = {};
    char version[MaximumReceivedString] = {};
    EXPECT_EQ(software_version_cmd(Port(), words, version, sizeof(version)), 0);
    StopEngine();
    EXPECT_EQ(words[0], 0x0102);
    EXPECT_EQ(words[1], 0x0304);
    EXPECT_EQ(words[2], 0xA0B0);
    EXPECT_EQ(words[3], 0xFFFF);
    EXPECT_STREQ(version, "Q4M FLASH DRIVER 1.0");
    EXPECT_TRUE(Engine().Complaints().empty());
}

TEST_F(FlashCommandTest, WriteAndReadBlockRoundTripAtAHighAddress) {
    StartDriver();
    ASSERT_EQ(result_, 0);
    ASSERT_EQ(erase_flash(Port()), 0);
    WORD words[64];
    for (int i = 0; i < 64; ++i) {
        words[i] = static_cast<WORD>(0x1000 + i * 0x0101);
    }
    EXPECT_EQ(write_block_cmd(Port(), 64, 0x1FF00, words), 0);
    EXPECT_EQ(ReadTimeout(), 3000u);
    WORD back[64] = {};
    DWORD got = 0;
    EXPECT_EQ(read_block_cmd(Port(), 64, 0x1FF00, back, &got), 0);
    EXPECT_EQ(ReadTimeout(), 6000u);
    StopEngine();
    EXPECT_EQ(got, 64u);
    EXPECT_TRUE(std::equal(words, words + 64, back));
    EXPECT_EQ(Engine().Flash().Words()[0x1FF00 + 63], words[63]);
    // {0x16, 64, 0x0001, 0xFF00, 0}
    EXPECT_TRUE(ContainsRun(HostBytes(), {0x00, 0x16, 0x00, 0x40, 0x00, 0x01, 0xFF, 0x00}));
}

TEST_F(FlashCommandTest, SoftwareVersionStringCutOffRaisesItsEvent) {
    engine::EngineConfig config;
    config.softwareVersion = {5, 6, 7, 8};
    config.faults = {{engine::Point::VersionByte, engine::Action::Silence, 0, 0x13, 0}};
    StartDriver(config);
    ASSERT_EQ(result_, 0);
    WORD words[4] = {};
    char version[MaximumReceivedString] = {};
    EXPECT_NE(software_version_cmd(Port(), words, version, sizeof(version)), 0);
    StopEngine();
    EXPECT_EQ(words[3], 8); // the four words came before the string
    EXPECT_TRUE(ContainsInOrder(Events(), {{0xC2BB0042, 0, 0}, {0xC2BB0034, 0, 0}}));
}
