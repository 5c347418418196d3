#include "common/com.h"
#include "dataserver_fixture.h"
#include "q4mupgrade_standin.h"
#include "text.h"
#include "utility_fixture.h"

#include "../resource.h"

using namespace utiltest;

namespace {

class DataServerRoadTest : public UtilityTest {
protected:
    void TearDown() override {
        server_.Stop();
        UtilityTest::TearDown();
    }
    std::wstring Description() const { return Driver() + L"," + Image() + L"," + Standin(); }

    common::ComApartment apartment_;
    dstest::RunningDataServer server_;
};

} // namespace

TEST_F(DataServerRoadTest, UpgradeIsHandedToTheDataServerAndTheLibraryIsNotLoaded) {
    ASSERT_TRUE(server_.Start());
    ASSERT_EQ(RunToEnd(L"/s " + Inputs()), 0u);

    // The data server ran the download; the utility never called the library.
    EXPECT_EQ(StandinCalls(), 1u);
    EXPECT_EQ(StandinValue(standin::kProcess), L"HVTDataServer.exe");
    EXPECT_EQ(StandinValue(standin::kHandle), L"open");
    EXPECT_EQ(StandinValue(standin::kDriver), Driver());
    EXPECT_EQ(StandinValue(standin::kImage), Image());

    const std::string log = Log();
    EXPECT_TRUE(Contains(log, "Could not find device name in registry. Using COM4:.\r\n"
                              "Does data server exist?\r\n"
                              "DataServer exists.\r\n"));
    EXPECT_TRUE(
        Contains(log, "OnButtonUpgrade(), Entry...\r\n"
                      "OnButtonUpgrade(), Calling IBCCComfig::DownloadBarcodeReader( )\r\n" +
                          Narrow(Description()) +
                          "\r\n"
                          "OnButtonUpgrade(), BCConfig released.\r\n"
                          "OnButtonUpgrade(), IBarcodeConfig download successful.\r\n"
                          "Exiting Q4MUpgradeUtility\r\n"));
    EXPECT_FALSE(Contains(log, "Loading"));

    auto config = dstest::CreateConfig();
    ASSERT_TRUE(config);
    common::UniqueBstr description;
    ASSERT_EQ(config->GetLastDownloadDescription(description.put()), S_OK);
    EXPECT_EQ(description.view(), Description());
}

TEST_F(DataServerRoadTest, InteractiveRunShowsTheDataServerStatusLines) {
    SetStandinResult(static_cast<LONG>(0x80004005));
    ASSERT_TRUE(server_.Start());
    Utility utility = Start(Inputs());
    HWND dialog = WaitForDialog(utility);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ItemText(dialog, IDC_STATUS), L"Using IBarcodeInterface.\r\n");
    Click(dialog, IDC_UPGRADE);
    EXPECT_EQ(ItemText(dialog, IDC_STATUS), L"Error IBarcode download.\r\n");
    EXPECT_FALSE(ItemEnabled(dialog, IDC_UPGRADE));
    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(WaitForExit(utility));
    EXPECT_TRUE(Contains(Log(), "OnButtonUpgrade(), BCConfig released.\r\n"
                                "OnButtonUpgrade(), Error IBarcode download.\r\n"));
}

TEST_F(DataServerRoadTest, ExtractNeverTakesTheDataServerRoad) {
    ASSERT_TRUE(server_.Start());
    ASSERT_EQ(RunToEnd(L"/s /e\\host.bin " + Inputs()), 0u);
    EXPECT_TRUE(Contains(Log(), "DataServer exists.\r\n"));
    EXPECT_EQ(StandinValue(standin::kProcess), L"Q4MUpgradeUtility.exe");
    EXPECT_EQ(StandinValue(standin::kEntry), L"Q4MExtract");
    EXPECT_EQ(StandinValue(standin::kHandle), L"invalid");
    EXPECT_EQ(StandinValue(standin::kPort), L"COM4:");
}

TEST_F(DataServerRoadTest, FreePortMeansNoDataServerEvenWhileItsProcessRuns) {
    ASSERT_TRUE(server_.Start());
    auto config = dstest::CreateConfig();
    ASSERT_TRUE(config);
    ASSERT_EQ(config->ReleasePort(), S_OK);
    ASSERT_EQ(RunToEnd(L"/s " + Inputs()), 0u);
    EXPECT_TRUE(Contains(Log(), "Does data server exist?\r\nDataServer NOT found.\r\n"));
    EXPECT_EQ(StandinValue(standin::kProcess), L"Q4MUpgradeUtility.exe");
}
