// Whole runs against the simulated scan engine with the real flash download
// library; skipped while Q4MUpgrade.dll has not been built.
#include "common/com.h"
#include "dataserver_fixture.h"
#include "engine/engine_thread.h"
#include "engine/power_lines.h"
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
    // Every word read back is acknowledged byte by byte: a flash just larger
    // than the image keeps the run short on a busy machine.
    engine::EngineConfig config;
    config.flashWords = 0x4000;
    engine::EngineThread engine{config};
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

namespace {

// What the engine knew when it was stopped after one whole silent upgrade.
struct EngineOutcome {
    bool driverRemoved;
    std::string verdict;
    std::string account;
};

} // namespace

// The main job back to back, with the engine following the terminal's power
// and flash-mode lines as it does in ./run.sh: the library powers the engine
// down right after the last ack of the driver removal, and every run must
// still end with the driver removed and the image in the flash.
class BackToBackTest : public EndToEndTest {
protected:
    // Enough runs to catch a fault of one run in seven nineteen times in twenty.
    static constexpr int kRuns = 20;

    void SetUp() override {
        EndToEndTest::SetUp();
        if (!IsSkipped()) {
            // A small image: what is under test is each run's end, not the transfer.
            image_ = samples::MakeFirmwareImage(2 * 1024, true);
            ASSERT_TRUE(testsupport::WriteFileBytes(Image(), image_));
        }
    }

    EngineOutcome RunOnce() {
        engine::TerminalLines lines;
        engine::EngineConfig config;
        config.lines = &lines;
        engine::EngineThread engine{config};
        EXPECT_TRUE(engine.Start());
        EXPECT_EQ(RunToEnd(L"/s " + Arguments()), 0u);
        engine.Stop();
        return {engine.Engine().DriverRemoved(), engine::FlashVerdict(engine.Engine(), Image()),
                engine::SessionSummary(engine.Engine())};
    }

    void ExpectEveryRunWhole() {
        for (int run = 1; run <= kRuns; ++run) {
            const EngineOutcome outcome = RunOnce();
            EXPECT_TRUE(outcome.driverRemoved) << "run " << run << ":\n" << outcome.account;
            EXPECT_EQ(outcome.verdict.rfind("flash holds the image", 0), 0u)
                << "run " << run << ": " << outcome.verdict;
            if (HasFailure()) {
                return;
            }
        }
    }
};

TEST_F(BackToBackTest, DirectRoadRunsAllEndWithTheDriverRemoved) {
    ExpectEveryRunWhole();
    EXPECT_TRUE(Contains(Log(), "OnButtonUpgrade(), Download successful.\r\n"));
}

TEST_F(BackToBackTest, DataServerRoadRunsAllEndWithTheDriverRemoved) {
    ASSERT_TRUE(server_.Start(L"", kLibrary));
    ExpectEveryRunWhole();
    EXPECT_TRUE(Contains(Log(), "OnButtonUpgrade(), IBarcodeConfig download successful.\r\n"));
}
