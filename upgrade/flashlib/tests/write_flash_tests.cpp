// Writing the firmware image: formats, block kinds and word order.
#include "protocol_fixture.h"

#include "protocol.h"

class WriteFlashTest : public ProtocolTest {
protected:
    LONG UpgradeWith(const std::string& imageBytes, DWORD flashWords = 0x400) {
        engine::EngineConfig config;
        config.flashWords = flashWords;
        StartEngine(config);
        std::string driver = MakeFile("driver.bin", Pattern(256, 7));
        std::string image = MakeFile("image.bin", imageBytes);
        LONG result = Upgrade(Port(), driver.c_str(), image.c_str());
        StopEngine();
        return result;
    }
    WORD FlashWord(size_t i) { return Engine().Flash().Words()[i]; }
};

namespace {

std::string Header() {
    std::string header = "\x33\x05\x61\x39";
    return header + std::string(84, '\x5A');
}

} // namespace

TEST_F(WriteFlashTest, BlockOf127EqualWordsIsWrittenWholeInFileWordOrder) {
    std::string image = "\x12\x34" + Repeat(0x1234, 126) + Repeat(0x5555, 1);
    ASSERT_EQ(UpgradeWith(image), Q4M_SUCCESS);
    EXPECT_EQ(Engine().BlockWrites(), 1);
    EXPECT_EQ(Engine().SameWordWrites(), 0);
    EXPECT_EQ(FlashWord(0), 0x3412);
    EXPECT_EQ(FlashWord(126), 0x1234);
    EXPECT_EQ(FlashWord(127), 0x5555);
    // After the write frame and the ack: the first word, high byte first.
    EXPECT_TRUE(ContainsRun(HostBytes(), {0x00, 0x00, 0x00, 0x00, 0x02, 0x6E, 0x06, 0x34, 0x12}));
}

TEST_F(WriteFlashTest, BlocksOfEqualWordsTravelAsSameWordFrames) {
    // Block 0x247 starts at word address 0x12380.
    ASSERT_EQ(UpgradeWith(Repeat(0xFFFF, 0x248 * 128), 0x20000), Q4M_SUCCESS);
    EXPECT_EQ(Engine().SameWordWrites(), 0x248);
    EXPECT_EQ(Engine().BlockWrites(), 0);
    // {0x17, 0x0080, 0x0001, 0x2380, 0xFFFF} and its checksum 0x00014975.
    EXPECT_TRUE(ContainsRun(HostBytes(), {0x00, 0x17, 0x00, 0x80, 0x00, 0x01, 0x23, 0x80, 0xFF,
                                          0xFF, 0x00, 0x01, 0x49, 0x75}));
    EXPECT_TRUE(ContainsInOrder(Events(), {{0x42BB000C, 0x248, 0}, {0x02BB000A, 0, 0}}));
}

TEST_F(WriteFlashTest, NewFormatImageIsWrittenFromBehindItsHardwareHeader) {
    std::string payload = Pattern(512, 8);
    ASSERT_EQ(UpgradeWith(Header() + payload), Q4M_SUCCESS);
    for (size_t i = 0; i < 256; ++i) {
        ASSERT_EQ(FlashWord(i), WordAt(payload, i)) << i;
    }
    EXPECT_EQ(FlashWord(256), 0xFFFF);
    EXPECT_TRUE(ContainsInOrder(
        Events(),
        {{0x42BB000E, 0, 0}, {0x42BB000F, 88, 0}, {0x42BB0011, 0, 0}, {0x42BB000C, 2, 0}}));
}

TEST_F(WriteFlashTest, NewFormatImageWithAPartialLastBlockFailsOnIt) {
    std::string payload = Pattern(512 + 200, 9);
    EXPECT_EQ(UpgradeWith(Header() + payload), Q4M_FAILURE);
    EXPECT_EQ(FlashWord(255), WordAt(payload, 255)); // the whole blocks went in
    EXPECT_EQ(Engine().CurrentStage(), engine::Stage::DriverRemoved);
    EXPECT_NE(LogText().find("[240]ERROR: write_flash(), reading block(2) addr(0x100)\r"
                             "[242]write_flash(), ERROR writing flash memory.\r"
                             "[249]ERROR: Upgrade(), writing flash\r"),
              std::string::npos);
    EXPECT_TRUE(ContainsInOrder(Events(),
                                {{0x42BB000C, 3, 0}, {0xC2BB003E, 2, 0x100}, {0xC2BB003F, 0, 0}}));
}

TEST_F(WriteFlashTest, OldFormatImageTailIsIgnored) {
    std::string image = Pattern(512 + 100, 10);
    ASSERT_EQ(UpgradeWith(image), Q4M_SUCCESS);
    EXPECT_EQ(FlashWord(255), WordAt(image, 255));
    EXPECT_EQ(FlashWord(256), 0xFFFF);
    EXPECT_TRUE(ContainsInOrder(Events(), {{0x42BB0010, 0, 0}, {0x42BB000C, 2, 0}}));
}
