#include <gtest/gtest.h>

#include <windows.h>

#include "testsupport/paths.h"

using namespace testsupport;

TEST(TerminalDrive, ProgramsRunWithTheirCurrentFolderOnDriveC) {
    wchar_t current[MAX_PATH];
    ASSERT_GT(::GetCurrentDirectoryW(MAX_PATH, current), 0u);
    EXPECT_EQ(towupper(current[0]), L'C');
}

TEST(TerminalDrive, AFileWrittenAtTheRootLandsOnTheTerminalsDriveC) {
    const std::string text = "probe " + std::to_string(::GetCurrentProcessId());
    ASSERT_TRUE(WriteFileBytes(L"\\probe.txt", text));
    const std::wstring host = HostDriveC();
    ASSERT_FALSE(host.empty());
    EXPECT_EQ(ReadFileBytes(host + L"\\probe.txt"), text);
    ::DeleteFileW(L"\\probe.txt");
}

TEST(TerminalDrive, TheStandardFoldersExist) {
    for (const wchar_t* folder :
         {L"\\Storage Card", L"\\Storage Card\\HVT\\Q4M", L"\\Program Files"}) {
        DWORD attributes = ::GetFileAttributesW(folder);
        ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << folder;
        EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
}
