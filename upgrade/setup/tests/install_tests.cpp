#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include "setup_fixture.h"
#include "testsupport/paths.h"

using setuptest::InstallExit;
using setuptest::InstallFolder;
using setuptest::Library;
using setuptest::TestFolder;
using setuptest::TestFolderOfLength;
using setuptest::UtilityWatch;

namespace {

const char kEntryLine[] = "Q4UpgradeUtilitySetup::Install_Exit(): Entry.\r\n";

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::string PathLine(const InstallFolder& folder) {
    return "Upgrade utility path: " + Narrow(folder.path()) + "\\Q4MUpgradeUtility.exe\r\n";
}

std::vector<std::wstring> Arguments(const std::wstring& commandLine) {
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW(commandLine.c_str(), &count);
    std::vector<std::wstring> result(args, args + count);
    ::LocalFree(args);
    return result;
}

} // namespace

TEST(InstallHook, ExportsAreFoundByTheirPlainNamesAndTheInitCallsContinue) {
    const auto& setup = Library();
    ASSERT_TRUE(setup.module);
    ASSERT_NE(setup.installInit, nullptr);
    ASSERT_NE(setup.installExit, nullptr);
    ASSERT_NE(setup.uninstallInit, nullptr);
    ASSERT_NE(setup.uninstallExit, nullptr);
    EXPECT_EQ(setup.installInit(nullptr, TRUE, FALSE, L"\\Storage Card"),
              codeINSTALL_INIT_CONTINUE);
    EXPECT_EQ(setup.uninstallInit(nullptr, L"\\Storage Card"), codeUNINSTALL_INIT_CONTINUE);
}

TEST(InstallHook, InstallStartsTheUtilityFromTheInstallFolderWithNoArguments) {
    InstallFolder folder(TestFolder(L"Plain"));
    folder.PlaceUtility();
    UtilityWatch watch;

    EXPECT_EQ(InstallExit(folder.path()), codeINSTALL_EXIT_DONE);

    const auto commandLine = watch.WaitForStart(folder);
    ASSERT_TRUE(commandLine.has_value()) << "the utility did not start";
    const auto args = Arguments(*commandLine);
    ASSERT_EQ(args.size(), 1u) << Narrow(*commandLine);
    EXPECT_EQ(args[0], folder.path() + L"\\Q4MUpgradeUtility.exe");
    EXPECT_EQ(folder.Log(), kEntryLine + PathLine(folder));
}

TEST(InstallHook, FolderOf128CharactersStillStartsTheUtility) {
    InstallFolder folder(TestFolderOfLength(128));
    ASSERT_EQ(folder.path().size(), 128u);
    folder.PlaceUtility();
    UtilityWatch watch;

    EXPECT_EQ(InstallExit(folder.path()), codeINSTALL_EXIT_DONE);

    EXPECT_TRUE(watch.WaitForStart(folder).has_value());
    EXPECT_EQ(folder.Log(), kEntryLine + PathLine(folder));
}

TEST(InstallHook, FolderOf129CharactersStartsNothingAndStillSucceeds) {
    InstallFolder folder(TestFolderOfLength(129));
    ASSERT_EQ(folder.path().size(), 129u);
    folder.PlaceUtility();

    EXPECT_EQ(InstallExit(folder.path()), codeINSTALL_EXIT_DONE);

    // The start is logged before it is tried: the log alone shows it was skipped.
    EXPECT_EQ(folder.Log(), kEntryLine);
}

TEST(InstallHook, UncreatableLogStillStartsTheUtility) {
    InstallFolder folder(TestFolder(L"NoLog"));
    folder.PlaceUtility();
    // A folder in the log's place: the log cannot be opened.
    ASSERT_TRUE(::CreateDirectoryW(folder.File(L"q4muperr.log").c_str(), nullptr));
    UtilityWatch watch;

    EXPECT_EQ(InstallExit(folder.path()), codeINSTALL_EXIT_DONE);

    EXPECT_TRUE(watch.WaitForStart(folder).has_value());
}

TEST(InstallHook, MissingUtilityLogsTheCreateProcessErrorAndStillSucceeds) {
    InstallFolder folder(TestFolder(L"Empty"));

    EXPECT_EQ(InstallExit(folder.path()), codeINSTALL_EXIT_DONE);

    EXPECT_EQ(folder.Log(), kEntryLine + PathLine(folder) + "Create process error: 2\r\n");
}

TEST(InstallHook, LogIsWrittenFromTheBeginningOfAnOlderLog) {
    InstallFolder folder(TestFolder(L"Older"));
    const std::string older(300, '#');
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.File(L"q4muperr.log"), older));

    EXPECT_EQ(InstallExit(folder.path()), codeINSTALL_EXIT_DONE);

    const std::string written = kEntryLine + PathLine(folder) + "Create process error: 2\r\n";
    ASSERT_LT(written.size(), older.size());
    EXPECT_EQ(folder.Log(), written + older.substr(written.size()));
}

TEST(InstallHook, LogLinesAreInTheAnsiCodePage) {
    if (::GetACP() != 1252) {
        GTEST_SKIP() << "the terminal's ANSI code page is " << ::GetACP();
    }
    InstallFolder folder(TestFolder(L"Caf\u00e9"));

    EXPECT_EQ(InstallExit(folder.path()), codeINSTALL_EXIT_DONE);

    EXPECT_EQ(folder.Log(), std::string(kEntryLine) +
                                "Upgrade utility path: \\Storage Card\\SetupTests\\Caf\xe9"
                                "\\Q4MUpgradeUtility.exe\r\nCreate process error: 2\r\n");
}

TEST(InstallHook, NoInstallFolderIsAcceptedWithoutALog) {
    EXPECT_EQ(Library().installExit(nullptr, nullptr, 0, 0, 0, 0, 0), codeINSTALL_EXIT_DONE);
}
