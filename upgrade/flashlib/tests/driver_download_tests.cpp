// Serving the boot loader's requests with the flash driver file.
#include "protocol_fixture.h"

#include "protocol.h"

class DriverDownloadTest : public ProtocolTest {};

struct DriverSize {
    size_t bytes;
    DWORD blocks;
};

TEST_F(DriverDownloadTest, DriverWithoutOneToOneHundredTwentyEightBlocksFailsBeforeTheStartByte) {
    for (DriverSize size : {DriverSize{255, 0}, DriverSize{33024, 129}}) {
        SCOPED_TRACE(size.bytes);
        StartEngine({});
        std::string driver = MakeFile("driver.bin", Pattern(size.bytes, 3));
        DWORD flashSize = 0;
        EXPECT_NE(download_correct_flash_driver(Port(), driver.c_str(), 2, &flashSize, 1), 0);
        StopEngine();
        EXPECT_EQ(HostBytes(), std::vector<BYTE>{0x00}); // the auto-baud byte only
        std::string log = LogText();
        EXPECT_NE(
            log.find("[207]ERROR: flash driver size. filesize: " + std::to_string(size.bytes) +
                     "\r numblocks: " + std::to_string(size.blocks) +
                     ", BLOCK_SIZE=128\r[213]ERROR: error transmiting block:0\r\r"),
            std::string::npos)
            << log;
        EXPECT_TRUE(
            ContainsInOrder(Events(), {{0xC2BB0029, static_cast<DWORD>(size.bytes), size.blocks},
                                       {0x42BB0008, 0, 0},
                                       {0xC2BB002D, 0, 0},
                                       {0xC2BB002F, 0, 0}}));
        ReopenLog();
    }
}

TEST_F(DriverDownloadTest, BytesBeyondTheLastWholeBlockAreNeverSent) {
    StartEngine({});
    std::string bytes = Pattern(32868, 4);
    std::string driver = MakeFile("driver.bin", bytes);
    ASSERT_EQ(baud_rate_autodetec(Port()), 0);
    ASSERT_EQ(download_flash_driver(Port(), driver.c_str()), 0);
    StopEngine();

    std::vector<BYTE> host = HostBytes();
    ASSERT_EQ(host.size(), 3u + 128 * (256 + 4)); // 0x00, 0xAA, N, then the blocks
    EXPECT_EQ(host[2], 128);
    std::vector<WORD> expected(16384);
    for (size_t i = 0; i < expected.size(); ++i) {
        expected[i] = WordAt(bytes, i);
    }
    EXPECT_EQ(Engine().DriverWords(), expected);
    EXPECT_TRUE(Engine().Complaints().empty());
}

TEST_F(DriverDownloadTest, BlocksAreServedInTheOrderAskedRepeatsIncluded) {
    engine::EngineConfig config;
    config.blockOrder = {2, 1, 2};
    StartEngine(config);
    std::string bytes = "\x12\x34" + Pattern(510, 5);
    std::string driver = MakeFile("driver.bin", bytes);
    DWORD flashSize = 0;
    EXPECT_EQ(download_correct_flash_driver(Port(), driver.c_str(), 2, &flashSize, 1), 0);
    StopEngine();

    EXPECT_EQ(flashSize, 0x20000u);
    EXPECT_EQ(Engine().BlocksServed(), (std::vector<int>{2, 1, 2}));
    EXPECT_EQ(Engine().DriverWords()[0], 0x3412);
    EXPECT_EQ(Engine().DriverWords()[128], WordAt(bytes, 128));
    EXPECT_TRUE(Engine().Complaints().empty());
    // The file's bytes 0x12, 0x34 cross the wire as 0x34, 0x12.
    std::vector<BYTE> host = HostBytes();
    EXPECT_TRUE(ContainsRun(host, {0xAA, 0x02}));
    EXPECT_TRUE(
        ContainsRun(host, {0x34, 0x12, static_cast<BYTE>(bytes[3]), static_cast<BYTE>(bytes[2])}));
}

TEST_F(DriverDownloadTest, MissingOrEmptyDriverFailsAfterAutoBaud) {
    StartEngine({});
    std::string missing = PathOf("missing.bin");
    std::string empty = MakeFile("empty.bin", "");
    DWORD flashSize = 0;
    EXPECT_NE(download_correct_flash_driver(Port(), missing.c_str(), 2, &flashSize, 1), 0);
    EXPECT_NE(download_flash_driver(Port(), empty.c_str()), 0);
    StopEngine();

    EXPECT_EQ(HostBytes(), std::vector<BYTE>{0x00});
    std::string log = LogText();
    EXPECT_NE(log.find("[204]ERROR: tst_file_exists(), " + missing +
                       " does not exist.\r[213]ERROR: error transmiting block:0\r\r"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("[205]ERROR: tst_file_exists(), " + empty +
                       " size is invalid\r[213]ERROR: error transmiting block:0\r\r"),
              std::string::npos)
        << log;
    EXPECT_TRUE(ContainsInOrder(
        Events(),
        {{0xC2BB0044, 0, 0}, {0xC2BB002D, 0, 0}, {0xC2BB002F, 0, 0}, {0xC2BB002D, 0, 0}}));
}
