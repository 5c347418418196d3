#include <gtest/gtest.h>

#include "sample_files.h"

TEST(SampleFiles, DriverIsWholeBlocks) {
    EXPECT_EQ(samples::MakeFlashDriver(16).size(), 16u * 256u);
    EXPECT_EQ(samples::MakeFlashDriver(1), samples::MakeFlashDriver(1));
}

TEST(SampleFiles, ImageWithHeaderStartsWithTheSignature) {
    const std::string image = samples::MakeFirmwareImage(4096, true);
    // Header in front of whole blocks: the library's block count over the
    // whole file is then exactly the payload's blocks.
    ASSERT_EQ(image.size(), 88u + 4096u);
    EXPECT_EQ(image.size() / 2 / 128, 4096u / 256u);
    EXPECT_EQ(image.substr(0, 4), std::string("\x33\x05\x61\x39", 4));
}

TEST(SampleFiles, OldFormatImageNeverLooksLikeOneWithAHeader) {
    const std::string image = samples::MakeFirmwareImage(4096, false);
    EXPECT_NE(image.substr(0, 4), std::string("\x33\x05\x61\x39", 4));
    // Words differ, so a lost or swapped word changes the flash contents.
    EXPECT_NE(image.substr(0, 2), image.substr(2, 2));
}
