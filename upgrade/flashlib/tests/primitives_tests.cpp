// Pieces of the protocol that need no engine: the checksum, file checks,
// format detection and the string receive's own limit.
#include "protocol_fixture.h"

#include "protocol.h"

class PrimitivesTest : public ProtocolTest {};

TEST_F(PrimitivesTest, WeightedChecksumWeighsTheFirstWordMost) {
    const WORD pair[] = {1, 2};
    EXPECT_EQ(weighted_checksum(pair, 2), 4u); // 2 x 1 + 1 x 2
    const WORD erase[] = {0x14, 0, 0, 0, 0};
    EXPECT_EQ(weighted_checksum(erase, 5), 0x64u);
    std::vector<WORD> ones(128, 0xFFFF);
    EXPECT_EQ(weighted_checksum(ones.data(), 128), 0xFFFFu * 8256);
    std::vector<WORD> many(70000, 0xFFFF); // the sum wraps at 32 bits
    EXPECT_EQ(weighted_checksum(many.data(), 70000),
              static_cast<DWORD>(0xFFFFull * 70000 * 70001 / 2));
}

TEST_F(PrimitivesTest, StringMaximumAbove128IsRefusedWithoutReading) {
    char buffer[200];
    EXPECT_NE(receive_string(INVALID_HANDLE_VALUE, buffer, 129), 0);
    EXPECT_EQ(LogText(), "[201]ERROR: receive_string(), Client input buff too small\r");
    EXPECT_EQ(Events(), (std::vector<RaisedEvent>{{0xC2BB0043, 0, 0}}));
}

TEST_F(PrimitivesTest, FileExistsOnlyWhenItCanBeOpenedAndIsNotEmpty) {
    std::string present = MakeFile("present.bin", "x");
    std::string empty = MakeFile("empty.bin", "");
    std::string missing = PathOf("missing.bin");
    EXPECT_EQ(tst_file_exists(present.c_str()), 0);
    EXPECT_NE(tst_file_exists(empty.c_str()), 0);
    EXPECT_NE(tst_file_exists(missing.c_str()), 0);
    EXPECT_EQ(LogText(), "[205]ERROR: tst_file_exists(), " + empty + " size is invalid\r" +
                             "[204]ERROR: tst_file_exists(), " + missing + " does not exist.\r");
    EXPECT_EQ(Events(), (std::vector<RaisedEvent>{{0xC2BB0044, 0, 0}}));
}

struct FormatCase {
    const char* name;
    std::string bytes; // empty: no file at all
    int offset;
    std::vector<RaisedEvent> events;
};

TEST_F(PrimitivesTest, FirmwareFormatIsTheHardwareHeaderTag) {
    const FormatCase cases[] = {
        {"tagged",
         std::string("\x33\x05\x61\x39", 4) + "rest",
         88,
         {{0x42BB000E, 0, 0}, {0x42BB000F, 88, 0}, {0x42BB0011, 0, 0}}},
        {"untagged",
         std::string("\x33\x05\x61\x38", 4) + "rest",
         0,
         {{0x42BB000E, 0, 0}, {0x42BB0010, 0, 0}, {0x42BB0011, 0, 0}}},
        {"three bytes", "\x33\x05\x61", -1, {{0x42BB000E, 0, 0}, {0x42BB0011, 0, 0}}},
        {"missing", "", -1, {{0x42BB000E, 0, 0}, {0xC2BB0045, 0xFFFFFFFF, 0}}},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = c.bytes.empty() ? PathOf("missing.bin") : MakeFile("image.bin", c.bytes);
        EXPECT_EQ(DetermineFirmwareFileFormat(path.c_str()), c.offset);
        EXPECT_EQ(Events(), c.events);
    }
    EXPECT_EQ(LogText(), "[235]ERROR: DetermineFirmwareFileFormat(), Opening file\r");
}
