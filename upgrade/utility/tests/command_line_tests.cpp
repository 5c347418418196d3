#include <gtest/gtest.h>

#include "command_line.h"

using q4mutil::Options;
using q4mutil::ParseArguments;

TEST(CommandLine, FlashDriverTakenWithSlashDashOrNoPrefixAndAnyCase) {
    for (const wchar_t* argument : {L"/aDRV.DRX", L"-aDRV.DRX", L"aDRV.DRX", L"/ADRV.DRX"}) {
        const Options options = ParseArguments({argument});
        ASSERT_TRUE(options.flashDriver.has_value()) << argument;
        EXPECT_EQ(*options.flashDriver, L"DRV.DRX") << argument;
    }
}

TEST(CommandLine, OnlyOneLeadingSwitchCharacterIsRemoved) {
    const Options options = ParseArguments({L"//bIMG.BIN", L"/-aX"});
    EXPECT_FALSE(options.firmwareImage.has_value());
    EXPECT_FALSE(options.flashDriver.has_value());
}

TEST(CommandLine, EveryOptionLetter) {
    const Options options = ParseArguments(
        {L"/a\\d.drx", L"/b\\i.bin", L"/u\\lib.dll", L"/sANYTHING", L"/pcom2", L"/e\\host.bin"});
    EXPECT_EQ(*options.flashDriver, L"\\d.drx");
    EXPECT_EQ(*options.firmwareImage, L"\\i.bin");
    EXPECT_EQ(*options.upgradeDll, L"\\lib.dll");
    EXPECT_TRUE(options.silent);
    EXPECT_EQ(*options.port, L"COM2:");
    EXPECT_EQ(*options.hostCopy, L"\\host.bin");
}

TEST(CommandLine, NothingGivenLeavesEverythingToTheRegistry) {
    const Options options = ParseArguments({});
    EXPECT_FALSE(options.flashDriver || options.firmwareImage || options.upgradeDll ||
                 options.port || options.hostCopy);
    EXPECT_FALSE(options.silent);
}

TEST(CommandLine, SeventeenthArgumentIsIgnoredAndUnknownLettersCount) {
    std::vector<std::wstring> arguments(16, L"/xunknown");
    arguments.push_back(L"/aDRV.DRX");
    EXPECT_FALSE(ParseArguments(arguments).flashDriver.has_value());
    arguments[15] = L"/aDRV.DRX";
    EXPECT_EQ(*ParseArguments(arguments).flashDriver, L"DRV.DRX");
}

TEST(CommandLine, LaterArgumentWinsForTheSameOption) {
    EXPECT_EQ(*ParseArguments({L"/aONE", L"/aTWO"}).flashDriver, L"TWO");
}

TEST(CommandLine, SplitKeepsQuotedPathsWhole) {
    const auto arguments =
        q4mutil::SplitCommandLine(L"Q4MUpgradeUtility.exe \"/a\\Storage Card\\d.drx\" /s");
    ASSERT_EQ(arguments.size(), 3u);
    EXPECT_EQ(arguments[1], L"/a\\Storage Card\\d.drx");
}
