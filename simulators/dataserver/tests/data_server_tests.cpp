#include <gtest/gtest.h>

#include "common/com.h"
#include "dataserver_fixture.h"
#include "downloader.h"
#include "q4mupgrade_standin.h"

using namespace dstest;

namespace {

const wchar_t kEnginePort[] = L"COM4:";

std::wstring StandinValue(const wchar_t* name) {
    wchar_t text[1024] = {};
    DWORD size = sizeof(text);
    ::RegGetValueW(HKEY_CURRENT_USER, standin::kRecordKey, name, RRF_RT_REG_SZ, nullptr, text,
                   &size);
    return text;
}

DWORD StandinNumber(const wchar_t* name) {
    DWORD number = 0;
    DWORD size = sizeof(number);
    ::RegGetValueW(HKEY_CURRENT_USER, standin::kRecordKey, name, RRF_RT_REG_DWORD, nullptr, &number,
                   &size);
    return number;
}

void SetStandinResult(DWORD result) {
    common::UniqueKey key;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, standin::kRecordKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, key.put(), nullptr);
    ::RegSetValueExW(key.get(), standin::kResult, 0, REG_DWORD,
                     reinterpret_cast<const BYTE*>(&result), sizeof(result));
}

class DataServerTest : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteKeyW(HKEY_CURRENT_USER, standin::kRecordKey); }
    void TearDown() override {
        server_.Stop();
        ::RegDeleteKeyW(HKEY_CURRENT_USER, standin::kRecordKey);
    }

    // A configuration object initialised for the scan engine.
    common::ComPtr<IBarCodeReaderConfig> EngineConfig() {
        auto config = CreateConfig();
        if (config) {
            common::UniqueBstr device(L"Q4M");
            EXPECT_EQ(config->Initialize(device.get(), 3), S_OK);
        }
        return config;
    }

    common::ComApartment apartment_;
    RunningDataServer server_;
};

} // namespace

TEST_F(DataServerTest, HoldsThePortSoThatOthersFindItBusy) {
    ASSERT_TRUE(CanOpen(kEnginePort));
    ASSERT_TRUE(server_.Start());
    DWORD error = 0;
    EXPECT_FALSE(CanOpen(kEnginePort, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(CanOpen(L"\\\\.\\COM4"));
    server_.Stop();
    EXPECT_TRUE(CanOpen(kEnginePort));
}

TEST_F(DataServerTest, ReleasedPortCanBeOpenedAndTakenBack) {
    ASSERT_TRUE(server_.Start());
    auto config = EngineConfig();
    ASSERT_TRUE(config);
    ASSERT_EQ(config->ReleasePort(), S_OK);
    long held = -1;
    EXPECT_EQ(config->GetPortHeld(&held), S_OK);
    EXPECT_EQ(held, 0);
    EXPECT_TRUE(CanOpen(kEnginePort));
    ASSERT_EQ(config->AcquirePort(), S_OK);
    EXPECT_EQ(config->GetPortHeld(&held), S_OK);
    EXPECT_EQ(held, 1);
    EXPECT_FALSE(CanOpen(kEnginePort));
}

TEST_F(DataServerTest, ConfigObjectKnowsItsDeviceAndItsServer) {
    ASSERT_TRUE(server_.Start());
    auto config = EngineConfig();
    ASSERT_TRUE(config);
    common::UniqueBstr text;
    ASSERT_EQ(config->GetDeviceName(text.put()), S_OK);
    EXPECT_EQ(text.view(), L"Q4M");
    long number = 0;
    ASSERT_EQ(config->GetDeviceNumber(&number), S_OK);
    EXPECT_EQ(number, 3);
    ASSERT_EQ(config->GetPortName(text.put()), S_OK);
    EXPECT_EQ(text.view(), L"COM4:");
    long processId = 0;
    ASSERT_EQ(config->GetServerProcessId(&processId), S_OK);
    EXPECT_EQ(static_cast<DWORD>(processId), server_.ProcessId());
    ASSERT_EQ(config->GetUpgradeLibraryPath(text.put()), S_OK);
    EXPECT_NE(text.view().find(L"DataServerTests\\Q4MUpgrade.dll"), std::wstring_view::npos);
    EXPECT_EQ(config->GetDeviceName(nullptr), E_POINTER);
}

TEST_F(DataServerTest, DownloadRunsTheLibraryOnTheLentPortAndTakesItBack) {
    ASSERT_TRUE(server_.Start());
    auto config = EngineConfig();
    ASSERT_TRUE(config);
    const wchar_t description[] = L"\\d\\drv.drx,\\d\\img.bin,\\d\\Q4MUpgrade.dll";
    common::UniqueBstr text(description);
    EXPECT_EQ(config->DownloadBarcodeReader(text.get()), S_OK);

    EXPECT_EQ(StandinValue(standin::kEntry), L"Q4MUpgrade");
    EXPECT_EQ(StandinValue(standin::kProcess), L"HVTDataServer.exe");
    EXPECT_EQ(StandinValue(standin::kHandle), L"open");
    EXPECT_EQ(StandinValue(standin::kPort), L"COM4:");
    EXPECT_EQ(StandinValue(standin::kDriver), L"\\d\\drv.drx");
    EXPECT_EQ(StandinValue(standin::kImage), L"\\d\\img.bin");
    // The mapping is back while the library holds the port: it reopens it.
    EXPECT_EQ(StandinNumber(standin::kReopened), 1u);
    // ...and withdrawn again once the data server has it back.
    EXPECT_FALSE(CanOpen(kEnginePort));

    long count = 0;
    ASSERT_EQ(config->GetDownloadCount(&count), S_OK);
    EXPECT_EQ(count, 1);
    common::UniqueBstr last;
    ASSERT_EQ(config->GetLastDownloadDescription(last.put()), S_OK);
    EXPECT_EQ(last.view(), description);
}

TEST_F(DataServerTest, LibraryFailureIsTheDownloadStatus) {
    SetStandinResult(0x80004005);
    ASSERT_TRUE(server_.Start());
    auto config = EngineConfig();
    ASSERT_TRUE(config);
    common::UniqueBstr text(L"a,b,c");
    EXPECT_EQ(config->DownloadBarcodeReader(text.get()), static_cast<HRESULT>(0x80004005));
    long status = 0;
    ASSERT_EQ(config->GetLastDownloadStatus(&status), S_OK);
    EXPECT_EQ(static_cast<DWORD>(status), 0x80004005u);
}

TEST_F(DataServerTest, DescriptionWithoutThreePartsIsRefusedBeforeTheLibrary) {
    ASSERT_TRUE(server_.Start());
    auto config = EngineConfig();
    ASSERT_TRUE(config);
    common::UniqueBstr text(L"only-one-path");
    EXPECT_EQ(config->DownloadBarcodeReader(text.get()), E_INVALIDARG);
    EXPECT_EQ(config->DownloadBarcodeReader(nullptr), E_INVALIDARG);
    EXPECT_EQ(StandinValue(standin::kEntry), L"");
}

TEST_F(DataServerTest, NoDataServerMeansFailureNotAWait) {
    auto config = CreateConfig();
    ASSERT_TRUE(config);
    ASSERT_EQ(config->SetRequestTimeout(200), S_OK);
    common::UniqueBstr device(L"Q4M");
    EXPECT_LT(config->Initialize(device.get(), 3), 0);
    common::UniqueBstr text(L"a,b,c");
    EXPECT_EQ(config->DownloadBarcodeReader(text.get()), E_UNEXPECTED);
    long held = 0;
    EXPECT_LT(config->GetPortHeld(&held), 0);
}

TEST_F(DataServerTest, ServerThatStoppedAfterInitialiseFailsTheDownload) {
    ASSERT_TRUE(server_.Start());
    auto config = EngineConfig();
    ASSERT_TRUE(config);
    server_.Stop();
    common::UniqueBstr text(L"a,b,c");
    EXPECT_LT(config->DownloadBarcodeReader(text.get()), 0);
}

TEST_F(DataServerTest, OnlyOneDataServerRuns) {
    ASSERT_TRUE(server_.Start());
    EXPECT_EQ(RunDataServerProgram(L""), 3u);
    EXPECT_FALSE(CanOpen(kEnginePort));
}

TEST_F(DataServerTest, RegisteredAsAnInProcessServerForBothModels) {
    CLSID classId{};
    ASSERT_EQ(::CLSIDFromProgID(L"Harvanti.BarCodeReader", &classId), S_OK);
    EXPECT_TRUE(IsEqualCLSID(classId, CLSID_BarCodeReader));
    wchar_t model[32] = {};
    DWORD size = sizeof(model);
    wchar_t key[128] = L"CLSID\\";
    ::StringFromGUID2(classId, key + 6, 64);
    wcscat(key, L"\\InprocServer32");
    ASSERT_EQ(::RegGetValueW(HKEY_CLASSES_ROOT, key, L"ThreadingModel", RRF_RT_REG_SZ, nullptr,
                             model, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(model, L"Both");
}

TEST(DownloadDescription, SplitsAtTheFirstAndLastComma) {
    dataserver::DownloadDescription description;
    ASSERT_TRUE(dataserver::ParseDescription(L"\\a.drx,\\x,y.bin,\\lib.dll", description));
    EXPECT_EQ(description.flashDriver, L"\\a.drx");
    EXPECT_EQ(description.firmwareImage, L"\\x,y.bin");
    EXPECT_EQ(description.upgradeLibrary, L"\\lib.dll");
    EXPECT_FALSE(dataserver::ParseDescription(L"\\a.drx,\\b.bin", description));
    EXPECT_FALSE(dataserver::ParseDescription(L",,", description));
}
