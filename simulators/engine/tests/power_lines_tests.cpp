// The engine's view of the terminal's power and flash-mode lines.
#include <gtest/gtest.h>

#include "ceplatform.h"
#include "common/handle.h"
#include "engine/engine_thread.h"
#include "engine/power_lines.h"

using namespace engine;

namespace {

constexpr DWORD Off = HCR0_SCAN_POWER_OFF;
constexpr DWORD Flash = HCR0_SCAN_FLASH_MODE;

// Puts the lines back as the test found them.
class LinesTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = ::TerminalGetHcr0(); }
    void TearDown() override { ::TerminalSetHcr0(saved_); }

    // Sets the lines and says whether the engine would listen.
    bool Listens(const TerminalLines& lines, DWORD hcr0) {
        ::TerminalSetHcr0(hcr0);
        return lines.Powered() && lines.FlashMode();
    }

private:
    DWORD saved_ = 0;
};

} // namespace

TEST_F(LinesTest, ListensOnlyAfterAPowerUpInFlashMode) {
    TerminalLines lines;
    EXPECT_FALSE(Listens(lines, 0));             // powered, scanning mode
    EXPECT_FALSE(Listens(lines, Flash));         // flash mode selected while powered
    EXPECT_FALSE(Listens(lines, Off | Flash));   // powered down
    EXPECT_TRUE(Listens(lines, Flash));          // powered up in flash mode
    EXPECT_TRUE(Listens(lines, Flash | 0x0100)); // other bits do not matter
    EXPECT_FALSE(Listens(lines, 0));             // back to scanning mode
    EXPECT_FALSE(Listens(lines, Flash));         // flash mode again needs a power-up
    EXPECT_FALSE(Listens(lines, Off | Flash));
    EXPECT_TRUE(Listens(lines, Flash));
    EXPECT_FALSE(Listens(lines, Off | Flash)); // powered down
}

TEST_F(LinesTest, LinesAlreadyUpInFlashModeCountAsAPowerUp) {
    ::TerminalSetHcr0(Flash);
    TerminalLines lines;
    EXPECT_TRUE(lines.Powered());
    EXPECT_TRUE(lines.FlashMode());
}

TEST_F(LinesTest, EngineAnswersOnTheWireOnlyWhileTheLinesAllowIt) {
    ::TerminalSetHcr0(Off);
    TerminalLines lines;
    EngineConfig config;
    config.lines = &lines;
    EngineThread thread(config);
    ASSERT_TRUE(thread.Start());
    common::UniqueFile port(::CreateFileW(L"COM4:", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(port);
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = 300;
    timeouts.WriteTotalTimeoutConstant = 1000;
    ::SetCommTimeouts(port.get(), &timeouts);
    // The engine looks at the lines again as each byte arrives.
    auto exchange = [&](BYTE value) {
        DWORD done = 0;
        ::WriteFile(port.get(), &value, 1, &done, nullptr);
        BYTE answer = 0;
        return ::ReadFile(port.get(), &answer, 1, &done, nullptr) && done == 1 ? int(answer) : -1;
    };
    EXPECT_EQ(exchange(0x00), -1); // powered down
    ::TerminalSetHcr0(Off | Flash);
    EXPECT_EQ(exchange(0x00), -1);
    ::TerminalSetHcr0(Flash);
    EXPECT_EQ(exchange(0x00), 0x54);
    ::TerminalSetHcr0(0);
    EXPECT_EQ(exchange(0x00), -1); // scanning mode
    thread.Stop();
    EXPECT_EQ(thread.Engine().CurrentStage(), Stage::Off);
}
