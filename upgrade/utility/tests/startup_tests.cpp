#include "q4mupgrade_standin.h"
#include "text.h"
#include "utility_fixture.h"

#include "../resource.h"

using namespace utiltest;

namespace {

const wchar_t kDefaultFolder[] = L"\\Storage Card\\HVT\\Q4M\\";

class StartupTest : public UtilityTest {
protected:
    // Opens the dialog, lets `inspect` look at it, then closes it with Exit.
    template <typename Inspect> void WithDialog(const std::wstring& arguments, Inspect inspect) {
        Utility utility = Start(arguments);
        HWND dialog = WaitForDialog(utility);
        ASSERT_NE(dialog, nullptr);
        inspect(dialog);
        Click(dialog, IDC_EXIT);
        EXPECT_TRUE(WaitForExit(utility));
    }
};

} // namespace

TEST_F(StartupTest, SilentUpgradeLogsEveryStepExactly) {
    ASSERT_EQ(RunToEnd(L"/s /pcom2 " + Inputs()), 0u);
    const std::string driver = Narrow(Driver());
    const std::string image = Narrow(Image());
    const std::string library = Narrow(Standin());
    const std::string expected = "Checking command line for user options.\r\n"
                                 "Flash driver option: " +
                                 driver +
                                 "\r\n\t"
                                 "Firmware image option: " +
                                 image +
                                 "\r\n\t"
                                 "Q4MUpgrade Dll: " +
                                 library +
                                 "\r\n\t"
                                 "Silent mode option.\r\n"
                                 "Q4UpgradeUtility::OnInitDialog(): Entry.\r\n"
                                 "Port specified via command line: COM2:.\r\n"
                                 "Firmware image specified via command line: " +
                                 image +
                                 ".\r\n"
                                 "Verify " +
                                 image + "'s existance\r\n" + image +
                                 " found\r\n"
                                 "Flash driver specified via command line: " +
                                 driver +
                                 ".\r\n"
                                 "Verify " +
                                 driver + "'s existance\r\n" + driver +
                                 " found.\r\n"
                                 "User specified " +
                                 library +
                                 ".\r\n"
                                 "Verify existance of " +
                                 library + "\r\n" + library +
                                 " found.\r\n"
                                 "All components exist.  Running upgrade\r\n"
                                 "OnButtonUpgrade(), Entry...\r\n"
                                 "OnButtonUpgrade(), Loading " +
                                 library +
                                 "\r\n"
                                 "OnButtonUpgrade(), Load successful.\r\n"
                                 "OnButtonUpgrade(), Download successful.\r\n"
                                 "Exiting Q4MUpgradeUtility\r\n"
                                 "Closing log file\r\n";
    EXPECT_EQ(Log(), expected);
}

TEST_F(StartupTest, NoConfigurationKeyUsesTheDefaultsAndSaysSo) {
    WithDialog(L"", [&](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_STATUS), L"Using Q4MUpgrade directly.\r\n");
        EXPECT_EQ(::SendDlgItemMessageW(dialog, IDC_DEVICE_LIST, LB_GETCOUNT, 0, 0), 1);
    });
    const std::string log = Log();
    const std::string folder = Narrow(kDefaultFolder);
    EXPECT_TRUE(Contains(log, "Could not find device name in registry. Using COM4:.\r\n"
                              "Does data server exist?\r\n"
                              "DataServer NOT found.\r\n"));
    EXPECT_TRUE(Contains(log, "Could not find firmware image path in registry entry.\r\n"
                              "Verify " +
                                  folder + "Q4Mfirmware.bin's existance\r\n"));
    EXPECT_TRUE(Contains(log, "Could not find flash driver path in registry.\r\n"
                              "Verify " +
                                  folder + "Q4MDriver.drx's existance\r\n"));
    EXPECT_TRUE(Contains(log, "q4mupgrade dll path not found in reg. Using " + folder +
                                  "Q4MUpgrade.dll\r\nVerify existance of " + folder +
                                  "Q4MUpgrade.dll\r\n"));
}

TEST_F(StartupTest, KeyWithoutFlashDriverUsesTheDefaultDriverOnly) {
    SetConfiguration(L"Default", L"COM2:");
    SetConfiguration(L"FirmwareImage", Image());
    SetConfiguration(L"Q4MUpgradeDll", Standin());
    WithDialog(L"", [&](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_IMAGE_PATH), Image());
        EXPECT_TRUE(ItemEnabled(dialog, IDC_UPGRADE));
    });
    const std::string log = Log();
    EXPECT_TRUE(Contains(log, "Does data server exist?\r\n"));
    EXPECT_FALSE(Contains(log, "Could not find device name in registry."));
    EXPECT_FALSE(Contains(log, "Could not find firmware image path"));
    EXPECT_TRUE(Contains(log, "Verify " + Narrow(Image()) + "'s existance\r\n"));
    EXPECT_TRUE(Contains(log, "Could not find flash driver path in registry.\r\n"
                              "Verify " +
                                  Narrow(kDefaultFolder) + "Q4MDriver.drx's existance\r\n"));
}

TEST_F(StartupTest, RegistryValuesDriveASilentRun) {
    SetConfiguration(L"Default", L"COM2:");
    SetConfiguration(L"FirmwareImage", Image());
    SetConfiguration(L"FlashDriver", Driver());
    SetConfiguration(L"Q4MUpgradeDll", Standin());
    ASSERT_EQ(RunToEnd(L"/s"), 0u);
    EXPECT_EQ(StandinCalls(), 1u);
    EXPECT_EQ(StandinValue(standin::kPort), L"COM2:");
    EXPECT_EQ(StandinValue(standin::kDriver), Driver());
    EXPECT_EQ(StandinValue(standin::kImage), Image());
}

TEST_F(StartupTest, CommandLineWinsOverTheRegistry) {
    SetConfiguration(L"Default", L"COM3:");
    SetConfiguration(L"FirmwareImage", Missing(L"image"));
    SetConfiguration(L"FlashDriver", Missing(L"driver"));
    SetConfiguration(L"Q4MUpgradeDll", Missing(L"library"));
    ASSERT_EQ(RunToEnd(L"/s /pcom2 " + Inputs()), 0u);
    EXPECT_EQ(StandinValue(standin::kPort), L"COM2:");
    EXPECT_EQ(StandinValue(standin::kDriver), Driver());
    EXPECT_EQ(StandinValue(standin::kImage), Image());
    EXPECT_EQ(StandinValue(standin::kHandle), L"invalid");
}

TEST_F(StartupTest, PortOptionSkipsTheDataServerDetection) {
    ASSERT_EQ(RunToEnd(L"/s /pcom2 " + Inputs()), 0u);
    const std::string log = Log();
    EXPECT_TRUE(Contains(log, "Port specified via command line: COM2:.\r\n"));
    EXPECT_FALSE(Contains(log, "Does data server exist?"));
}

TEST_F(StartupTest, SilentModeWithTheLibraryMissingShowsItAndRunsNothing) {
    Utility utility = Start(L"/s /pcom2 \"/a" + Driver() + L"\" \"/b" + Image() + L"\" \"/u" +
                            Missing(L"Q4MUpgrade.dll") + L"\"");
    std::wstring text;
    HWND box = WaitForMessageBox(utility, &text);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(text, L"Q4MUpgrade.dll is missing\r\n");
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    // The dialog stays open for the user.
    HWND dialog = WaitForDialog(utility);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(ItemEnabled(dialog, IDC_UPGRADE));
    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(WaitForExit(utility));
    EXPECT_EQ(StandinCalls(), 0u);
    EXPECT_TRUE(Contains(Log(), "Cannot find upgrade dll. Cannot proceed with upgrade\r\n"
                                "Q4MUpgrade.dll is missing\r\n"));
    EXPECT_FALSE(Contains(Log(), "OnButtonUpgrade()"));
}

TEST_F(StartupTest, SilentModeListsEveryMissingFileInOrder) {
    Utility utility = Start(L"/s /pcom2 \"/a" + Missing(L"driver") + L"\" \"/b" +
                            Missing(L"image") + L"\" \"/u" + Missing(L"library") + L"\"");
    std::wstring text;
    HWND box = WaitForMessageBox(utility, &text);
    ASSERT_NE(box, nullptr);
    const wchar_t expected[] = L"Q4MUpgrade.dll is missing\r\n"
                               L"Flash driver is missing\r\n"
                               L"Firmware image is missing\r\n";
    EXPECT_EQ(text, expected);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    HWND dialog = WaitForDialog(utility);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ItemText(dialog, IDC_DRIVER_PATH), L"");
    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(WaitForExit(utility));
    EXPECT_TRUE(Contains(Log(), "Cannot find firmware image. Please specify firmware image."
                                "Flash driver specified via command line: "));
    EXPECT_TRUE(Contains(Log(), Narrow(expected)));
}
