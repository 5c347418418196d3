// The library log file.
#include "protocol_fixture.h"

#include "logfile.h"
#include "testsupport/paths.h"

class LibraryLogTest : public ProtocolTest {
protected:
    std::wstring Wide(const std::string& path) { return std::wstring(path.begin(), path.end()); }
};

TEST_F(LibraryLogTest, StartsClosedWithTheUpgradeLogPath) {
    CQ4MLogFile log;
    EXPECT_FALSE(log.IsOpen());
    EXPECT_EQ(log.Path(), L"\\Q4MUpgrd.log");
}

TEST_F(LibraryLogTest, UpgradeLogIsWrittenOnlyWhenTheFileExists) {
    CQ4MLogFile log;
    log.SetPath(Wide(PathOf("absent.log")).c_str());
    EXPECT_FALSE(log.LogFileExistanceCheck());
    EXPECT_EQ(log.LogToFile(L"[1]line\r"), S_OK);
    EXPECT_EQ(::GetFileAttributesW(Wide(PathOf("absent.log")).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LibraryLogTest, ExistingLogIsOverwrittenFromItsStartKeepingALongerTail) {
    std::string path = MakeFile("upgrade.log", "0123456789ABCDEF");
    CQ4MLogFile log;
    log.SetPath(Wide(path).c_str());
    ASSERT_TRUE(log.LogFileExistanceCheck());
    EXPECT_EQ(log.LogToFile(L"[7]ab\r"), S_OK);
    log.Close();
    EXPECT_EQ(ReadBack("upgrade.log"), "[7]ab\r6789ABCDEF");
}

TEST_F(LibraryLogTest, ExplicitOpenTruncatesAndTakesThePath) {
    std::string path = MakeFile("extract.log", "old contents");
    CQ4MLogFile log;
    ASSERT_TRUE(log.Open(Wide(path).c_str()));
    EXPECT_EQ(log.Path(), Wide(path));
    EXPECT_EQ(log.LogToFile(L"[3]new\r"), S_OK);
    EXPECT_EQ(log.LogToFile(L"[4]more\r\n"), S_OK);
    log.Close();
    EXPECT_EQ(ReadBack("extract.log"), "[3]new\r[4]more\r\n");
}

TEST_F(LibraryLogTest, NullTextIsRefusedAndWritesNothing) {
    CQ4MLogFile log;
    ASSERT_TRUE(log.Open(Wide(PathOf("null.log")).c_str()));
    EXPECT_EQ(log.LogToFile(nullptr), E_FAIL);
    log.Close();
    EXPECT_EQ(ReadBack("null.log"), "");
}

TEST_F(LibraryLogTest, UnwritablePathLeavesTheLogClosed) {
    CQ4MLogFile log;
    EXPECT_FALSE(log.Open(Wide(PathOf("no such folder\\x.log")).c_str()));
    EXPECT_FALSE(log.IsOpen());
    EXPECT_EQ(log.LogToFile(L"[1]x\r"), S_OK);
}

TEST_F(LibraryLogTest, LogLinesStartWithTheirSiteNumber) {
    LogLine(42, "a=%d, s=%s, x=0x%x\r", -5, "text", 0xBEEFu);
    EXPECT_EQ(LogText(), "[42]a=-5, s=text, x=0xbeef\r");
}
