#include <gtest/gtest.h>

#include <string>

#include "testsupport/paths.h"
#include "utility_log.h"

namespace {

const wchar_t kPath[] = L"\\Storage Card\\UtilityLogTest.log";

class UtilityLogTest : public ::testing::Test {
protected:
    void TearDown() override {
        log_.Close();
        ::DeleteFileW(kPath);
    }
    q4mutil::UtilityLog log_;
};

} // namespace

TEST_F(UtilityLogTest, LinesAreWrittenAsTheyComeInTheAnsiCodePage) {
    log_.Open(kPath);
    log_.Write(L"first line\r\n");
    log_.Write(L"caf\u00e9 \u00fc\r\n");
    log_.Close();
    EXPECT_EQ(testsupport::ReadFileBytes(kPath), "first line\r\ncaf\xe9 \xfc\r\n");
}

TEST_F(UtilityLogTest, LongTextIsCutTo255Bytes) {
    log_.Open(kPath);
    log_.Write(std::wstring(300, L'x').c_str());
    log_.Write(L"\r\n");
    log_.Close();
    EXPECT_EQ(testsupport::ReadFileBytes(kPath), std::string(255, 'x') + "\r\n");
}

TEST_F(UtilityLogTest, NewRunIsWrittenFromTheBeginningOverAnOlderLongerLog) {
    ASSERT_TRUE(testsupport::WriteFileBytes(kPath, std::string(20, 'o')));
    log_.Open(kPath);
    log_.Write(L"new run\r\n");
    log_.Close();
    EXPECT_EQ(testsupport::ReadFileBytes(kPath), "new run\r\n" + std::string(11, 'o'));
}

TEST_F(UtilityLogTest, LogThatCannotBeOpenedRecordsNothingAndDoesNotFail) {
    log_.Open(L"\\No Such Folder\\q4muputil.log");
    log_.Write(L"lost\r\n");
    EXPECT_EQ(::GetFileAttributesW(L"\\No Such Folder\\q4muputil.log"), INVALID_FILE_ATTRIBUTES);
}
