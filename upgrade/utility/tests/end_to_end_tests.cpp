// Whole runs against the simulated scan engine with the real flash download
// library; skipped while Q4MUpgrade.dll has not been built.
#include "common/com.h"
#include "dataserver_fixture.h"
#include "engine/engine_thread.h"
#include "engine/verdict.h"
#include "sample_files.h"
#include "testsupport/paths.h"
#include "text.h"
#include "utility_fixture.h"

using namespace utiltest;

namespace {

const wchar_t kLibrary[] = L"Q4MUpgrade.dll";
const wchar_t kHostCopy[] = L"\\Storage Card\\UtilityTests\\host.bin";

class EndToEndTest : public UtilityTest {
protected:
    void SetUp() override {
        UtilityTest::SetUp();
        library_ = testsupport::ProgramFolder() + kLibrary;
        if (::GetFileAttributesW(library_.c_str()) == INVALID_FILE_ATTRIBUTES) {
            GTEST_SKIP() << "Q4MUpgrade.dll is not built yet";
        }
        image_ = samples::MakeFirmwareImage(16 * 1024, true);
        ASSERT_TRUE(testsupport::WriteFileBytes(Driver(), samples::MakeFlashDriver(8)));
        ASSERT_TRUE(testsupport::WriteFileBytes(Image(), image_));
    }
    void TearDown() override {
        server_.Stop();
        ::DeleteFileW(kHostCopy);
        UtilityTest::TearDown();
    }
    std::wstring Arguments() const {
        return L"\"/a" + Driver() + L"\" \"/b" + Image() + L"\" \"/u" + library_ + L"\"";
    }

    std::wstring library_;
    std::string image_;
    common::ComApartment apartment_;
    dstest::RunningDataServer server_;
};

} // namespace

TEST_F(EndToEndTest, SilentUpgradeWritesTheImageIntoTheEngine) {
    engine::EngineThread engine{engine::EngineConfig{}};
    ASSERT_TRUE(engine.Start());
    ASSERT_EQ(RunToEnd(L"/s " + Arguments()), 0u);
    engine.Stop();
    EXPECT_TRUE(Contains(Log(), "DataServer NOT found.\r\n"));
    EXPECT_TRUE(Contains(Log(), "OnButtonUpgrade(), Download successful.\r\n"));
    EXPECT_EQ(engine::FlashVerdict(engine.Engine(), Image()).rfind("flash holds the image", 0), 0u)
        << engine::FlashVerdict(engine.Engine(), Image());
}

TEST_F(EndToEndTest, SilentExtractReadsTheFlashBack) {
    engine::EngineThread engine{engine::EngineConfig{}};
    engine.Engine().Flash().PresetFromFile(Image());
    ASSERT_TRUE(engine.Start());
    ASSERT_EQ(RunToEnd(L"/s /pcom4 \"/e" + std::wstring(kHostCopy) + L"\" " + Arguments()), 0u);
    engine.Stop();
    EXPECT_TRUE(Contains(Log(), "OnButtonUpgrade(), Extraction successful.\r\n"));
    const std::string copy = testsupport::ReadFileBytes(kHostCopy);
    ASSERT_GE(copy.size(), image_.size());
    EXPECT_EQ(copy.substr(0, image_.size()), image_);
}

TEST_F(EndToEndTest, DataServerRoadWritesTheImageThroughTheDataServersPort) {
    ASSERT_TRUE(server_.Start(L"", kLibrary));
    engine::EngineThread engine{engine::EngineConfig{}};
    ASSERT_TRUE(engine.Start());
    ASSERT_EQ(RunToEnd(L"/s " + Arguments()), 0u);
    engine.Stop();
    EXPECT_TRUE(Contains(Log(), "OnButtonUpgrade(), IBarcodeConfig download successful.\r\n"));
    EXPECT_EQ(engine::FlashVerdict(engine.Engine(), Image()).rfind("flash holds the image", 0), 0u)
        << engine::FlashVerdict(engine.Engine(), Image());
    // The data server has its port back.
    EXPECT_FALSE(dstest::CanOpen(L"COM4:"));
}
