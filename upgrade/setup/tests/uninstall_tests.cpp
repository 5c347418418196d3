#include <gtest/gtest.h>

#include <windows.h>

#include <optional>

#include "setup_fixture.h"
#include "testsupport/paths.h"

using setuptest::InstallExit;
using setuptest::InstallFolder;
using setuptest::Library;
using setuptest::UtilityWatch;

namespace {

// Files on the storage card that these tests replace, put back afterwards.
class StorageCardFiles : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* name : kNames) {
            const std::wstring path = std::wstring(L"\\Storage Card\\") + name;
            std::optional<std::string> saved;
            if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
                saved = testsupport::ReadFileBytes(path);
            }
            saved_.emplace_back(path, saved);
            ::DeleteFileW(path.c_str());
        }
    }
    void TearDown() override {
        for (const auto& [path, bytes] : saved_) {
            ::DeleteFileW(path.c_str());
            if (bytes) {
                testsupport::WriteFileBytes(path, *bytes);
            }
        }
    }
    static bool Exists(const wchar_t* path) {
        return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
    }

private:
    static constexpr const wchar_t* kNames[] = {L"Q4MUpgradeUtility.exe", L"Q4MUpgradeUtility.ran",
                                                L"q4muperr.log", L"Q4MUpUtil.log"};
    std::vector<std::pair<std::wstring, std::optional<std::string>>> saved_;
};

} // namespace

TEST_F(StorageCardFiles, InstallOnTheStorageCardStartsTheUtilityAndUninstallDeletesItsLog) {
    InstallFolder card(L"\\Storage Card");
    card.PlaceUtility();
    UtilityWatch watch;

    EXPECT_EQ(InstallExit(L"\\Storage Card"), codeINSTALL_EXIT_DONE);
    EXPECT_TRUE(watch.WaitForStart(card).has_value());
    ASSERT_TRUE(Exists(L"\\Storage Card\\q4muperr.log"));

    EXPECT_EQ(Library().uninstallExit(nullptr), codeUNINSTALL_EXIT_DONE);

    EXPECT_FALSE(Exists(L"\\Storage Card\\q4muperr.log"));
    EXPECT_TRUE(Exists(L"\\Storage Card\\Q4MUpgradeUtility.exe"));
}

TEST_F(StorageCardFiles, UninstallDeletesTheUtilityLogOnTheStorageCard) {
    ASSERT_TRUE(testsupport::WriteFileBytes(L"\\Storage Card\\q4muputil.log", "log\r\n"));

    EXPECT_EQ(Library().uninstallExit(nullptr), codeUNINSTALL_EXIT_DONE);

    EXPECT_FALSE(Exists(L"\\Storage Card\\Q4MUpUtil.log"));
}

TEST_F(StorageCardFiles, UninstallWithNoLogsStillSucceeds) {
    EXPECT_EQ(Library().uninstallExit(nullptr), codeUNINSTALL_EXIT_DONE);
}
