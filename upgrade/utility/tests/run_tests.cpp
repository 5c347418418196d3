#include "q4mupgrade_standin.h"
#include "testsupport/paths.h"
#include "text.h"
#include "utility_fixture.h"

#include "../resource.h"

using namespace utiltest;

namespace {

constexpr LONG kFailure = static_cast<LONG>(0x80004005);
// The open-file dialog's file name box.
constexpr int kFileNameCombo = 0x47C;

class RunTest : public UtilityTest {};

} // namespace

TEST_F(RunTest, SilentExtractCallsTheExtractEntryWithHostCopyAndLog) {
    ASSERT_EQ(RunToEnd(L"/s /pcom2 /e\\host.bin " + Inputs()), 0u);
    EXPECT_EQ(StandinCalls(), 1u);
    EXPECT_EQ(StandinValue(standin::kEntry), L"Q4MExtract");
    EXPECT_EQ(StandinValue(standin::kHandle), L"invalid");
    EXPECT_EQ(StandinValue(standin::kPort), L"COM2:");
    EXPECT_EQ(StandinValue(standin::kDriver), Driver());
    EXPECT_EQ(StandinValue(standin::kImage), Image());
    EXPECT_EQ(StandinValue(standin::kHostCopy), L"\\host.bin");
    EXPECT_EQ(StandinValue(standin::kLogPath), L"\\Q4MExtract.log");
    const std::string log = Log();
    EXPECT_TRUE(Contains(log, "All components exist.  Running extract\r\n"));
    EXPECT_TRUE(Contains(log, "OnButtonUpgrade(), Load successful.\r\n"
                              "OnButtonUpgrade(), Extraction successful.\r\n"
                              "Exiting Q4MUpgradeUtility\r\n"));
}

TEST_F(RunTest, SilentUpgradeCallsTheUpgradeEntry) {
    ASSERT_EQ(RunToEnd(L"/s /pcom2 " + Inputs()), 0u);
    EXPECT_EQ(StandinValue(standin::kEntry), L"Q4MUpgrade");
    EXPECT_EQ(StandinValue(standin::kHostCopy), L"(null)");
}

TEST_F(RunTest, FailedUpgradeIsReportedAndSilentModeStillCloses) {
    SetStandinResult(kFailure);
    ASSERT_EQ(RunToEnd(L"/s /pcom2 " + Inputs()), 0u);
    EXPECT_TRUE(Contains(Log(), "OnButtonUpgrade(), Error upgrading Q4M.\r\n"
                                "Exiting Q4MUpgradeUtility\r\n"));
}

TEST_F(RunTest, FailedExtractIsReported) {
    SetStandinResult(kFailure);
    ASSERT_EQ(RunToEnd(L"/s /pcom2 /e\\host.bin " + Inputs()), 0u);
    EXPECT_TRUE(Contains(Log(), "OnButtonUpgrade(), Error extracting Q4M.\r\n"));
}

TEST_F(RunTest, PositiveStatusCountsAsSuccess) {
    SetStandinResult(1);
    ASSERT_EQ(RunToEnd(L"/s /pcom2 " + Inputs()), 0u);
    EXPECT_TRUE(Contains(Log(), "OnButtonUpgrade(), Download successful.\r\n"));
}

TEST_F(RunTest, InteractiveUpgradeShowsTheResultAndDisablesUpgrade) {
    Utility utility = Start(L"/pcom2 " + Inputs());
    HWND dialog = WaitForDialog(utility);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ItemText(dialog, IDC_UPGRADE), L"Upgrade");
    EXPECT_EQ(ItemText(dialog, IDC_DRIVER_PATH), Driver());
    ASSERT_TRUE(ItemEnabled(dialog, IDC_UPGRADE));
    Click(dialog, IDC_UPGRADE);
    EXPECT_EQ(ItemText(dialog, IDC_STATUS), L"Download successful.\r\n");
    EXPECT_FALSE(ItemEnabled(dialog, IDC_UPGRADE));
    EXPECT_EQ(StandinCalls(), 1u);
    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(WaitForExit(utility));
}

TEST_F(RunTest, FailedRunAlsoDisablesUpgrade) {
    SetStandinResult(kFailure);
    Utility utility = Start(L"/pcom2 /e\\host.bin " + Inputs());
    HWND dialog = WaitForDialog(utility);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ItemText(dialog, IDC_UPGRADE), L"Extract");
    Click(dialog, IDC_UPGRADE);
    EXPECT_EQ(ItemText(dialog, IDC_STATUS), L"Error extracting Q4M.\r\n");
    EXPECT_FALSE(ItemEnabled(dialog, IDC_UPGRADE));
    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(WaitForExit(utility));
}

TEST_F(RunTest, LibraryWithoutTheEntryReportsTheLookupFailure) {
    // A library that exists but exports no upgrade entry.
    const std::wstring other = testsupport::ProgramFolder() + L"HVTEventLog.dll";
    Utility utility =
        Start(L"/pcom2 \"/a" + Driver() + L"\" \"/b" + Image() + L"\" \"/u" + other + L"\"");
    HWND dialog = WaitForDialog(utility);
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_UPGRADE);
    EXPECT_EQ(ItemText(dialog, IDC_STATUS),
              L"Error retrieving Q4MUpgrade upgrade proc addr: 127.\r\n");
    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(WaitForExit(utility));
    EXPECT_TRUE(Contains(Log(), "OnButtonUpgrade(), Load successful.\r\n"
                                "OnButtonUpgrade(), Error retrieving Q4MUpgrade upgrade proc "
                                "addr.\r\n"));
}

TEST_F(RunTest, BrowsePickEnablesUpgradeAndAMissingLibraryFailsToLoad) {
    Utility utility = Start(L"/pcom2 \"/a" + Missing(L"driver") + L"\" \"/b" + Image() +
                            L"\" \"/u" + Missing(L"Q4MUpgrade.dll") + L"\"");
    HWND dialog = WaitForDialog(utility);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(ItemEnabled(dialog, IDC_UPGRADE));
    EXPECT_EQ(ItemText(dialog, IDC_DRIVER_PATH), L"");

    // The open-file dialog is modal: click without waiting, then answer it.
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_DRIVER_BROWSE, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDC_DRIVER_BROWSE)));
    HWND open = WaitForWindow(utility.id, L"Open");
    ASSERT_NE(open, nullptr);
    wchar_t full[MAX_PATH];
    ::GetFullPathNameW(Driver().c_str(), MAX_PATH, full, nullptr);
    ::SendMessageW(::GetDlgItem(open, kFileNameCombo), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(full));
    ::PostMessageW(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

    // The pick lands in the driver box and enables Upgrade.
    for (int i = 0; i < 500 && !ItemEnabled(dialog, IDC_UPGRADE); ++i) {
        ::Sleep(20);
    }
    EXPECT_EQ(ItemText(dialog, IDC_DRIVER_PATH), full);
    ASSERT_TRUE(ItemEnabled(dialog, IDC_UPGRADE));

    Click(dialog, IDC_UPGRADE);
    EXPECT_EQ(ItemText(dialog, IDC_STATUS), L"Error loading Q4MUpgrade.dll: 126.\r\n");
    EXPECT_FALSE(ItemEnabled(dialog, IDC_UPGRADE));
    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(WaitForExit(utility));
    EXPECT_EQ(StandinCalls(), 0u);
}
