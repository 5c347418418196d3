// The simulated engine's own behaviour: fault selection, the transcript, the
// flash memory, the power and flash-mode lines, and the program.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "common/handle.h"
#include "engine/engine_thread.h"
#include "engine/fault_text.h"
#include "engine/verdict.h"
#include "testsupport/paths.h"

using namespace engine;

TEST(EngineFaultTable, FaultsPickTheirOccurrenceAndCommand) {
    FaultTable table({
        {Point::CommandAck, Action::Replace, 1, 0x16, 0x30},
        {Point::ReadWordByte, Action::Silence, 2, AnyCommand, 0},
        {Point::CommandDone, Action::Delay, EveryTime, 0x14, 500},
    });
    EXPECT_EQ(table.Apply(Point::CommandAck, 0x16, 0x32).byte, 0x32); // first write ack
    EXPECT_EQ(table.Apply(Point::CommandAck, 0x17, 0x32).byte, 0x32); // another command
    EXPECT_EQ(table.Apply(Point::CommandAck, 0x16, 0x32).byte, 0x30); // second write ack
    EXPECT_FALSE(table.Apply(Point::ReadWordByte, 0x15, 0x11).silent);
    EXPECT_FALSE(table.Apply(Point::ReadWordByte, 0x15, 0x22).silent);
    EXPECT_TRUE(table.Apply(Point::ReadWordByte, 0x15, 0x33).silent);
    EXPECT_EQ(table.Apply(Point::CommandDone, 0x14, 0x31).delayMs, 500u);
    EXPECT_EQ(table.Apply(Point::CommandDone, 0x16, 0x31).delayMs, 0u);
}

TEST(EngineTranscript, TextHasOneLinePerRunOfAtMostSixteenBytes) {
    Transcript transcript;
    transcript.Record(Direction::FromHost, 0x00);
    transcript.Record(Direction::FromEngine, 0x54);
    for (int i = 0; i < 17; ++i) {
        transcript.Record(Direction::FromHost, static_cast<BYTE>(i));
    }
    EXPECT_EQ(transcript.Text(), "H 00\nE 54\n"
                                 "H 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\n"
                                 "H 10\n");
    EXPECT_EQ(transcript.Sent(Direction::FromEngine), std::vector<BYTE>{0x54});
}

TEST(EngineFlash, ProgrammingOnlyClearsBitsUntilErased) {
    FlashMemory flash(256, 0x0F0F);
    WORD words[2] = {0xFF00, 0x00FF};
    flash.Program(0, words, 2);
    EXPECT_EQ(flash.Words()[0], 0x0F00);
    EXPECT_EQ(flash.Words()[1], 0x000F);
    flash.Erase();
    flash.ProgramSame(10, 3, 0x1234);
    EXPECT_EQ(flash.Words()[9], 0xFFFF);
    EXPECT_EQ(flash.Words()[12], 0x1234);
    EXPECT_EQ(flash.Words()[13], 0xFFFF);
    EXPECT_TRUE(flash.Holds(250, 6));
    EXPECT_FALSE(flash.Holds(250, 7));
}

TEST(EngineFlash, SavedContentsPresetAnotherFlash) {
    std::wstring path = L"C:\\engine_flash_roundtrip.bin";
    FlashMemory flash(300, 0xFFFF);
    flash.Preset({0x1234, 0xABCD}, 100);
    ASSERT_TRUE(flash.Save(path));
    std::string bytes = testsupport::ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 600u);
    EXPECT_EQ(bytes.substr(200, 4), "\x34\x12\xCD\xAB");
    FlashMemory other(300, 0);
    ASSERT_TRUE(other.PresetFromFile(path));
    EXPECT_EQ(other.Words(), flash.Words());
    ::DeleteFileW(path.c_str());
}

TEST(EngineVerdict, FlashIsComparedWithTheImagePayload) {
    std::wstring path = L"C:\\engine_verdict_image.bin";
    std::string image = std::string("\x33\x05\x61\x39", 4) + std::string(84, 'h');
    std::string payload;
    for (int i = 0; i < 256; ++i) {
        payload += static_cast<char>(i);
        payload += static_cast<char>(0x40);
    }
    ASSERT_TRUE(testsupport::WriteFileBytes(path, image + payload));
    EngineConfig config;
    config.flashWords = 512;
    config.preset = WordsOf(payload);
    EXPECT_EQ(FlashVerdict(ScanEngine(config), path), "flash holds the image (256 words)");
    config.preset[5] = 0xFFFF;
    EXPECT_EQ(FlashVerdict(ScanEngine(config), path),
              "flash differs from the image at word 0x5: 0xFFFF, image 0x4005");
    ::DeleteFileW(path.c_str());
}

namespace {

class SwitchedLines : public LineState {
public:
    bool Powered() const override { return powered; }
    bool FlashMode() const override { return flashMode; }
    std::atomic<bool> powered{false};
    std::atomic<bool> flashMode{false};
};

common::UniqueFile OpenTerminalEnd() {
    common::UniqueFile port(::CreateFileW(L"COM4:", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = 400;
    timeouts.WriteTotalTimeoutConstant = 1000;
    ::SetCommTimeouts(port.get(), &timeouts);
    ::PurgeComm(port.get(), PURGE_RXCLEAR | PURGE_TXCLEAR);
    return port;
}

// The engine notices lines that drop while it waits within one read slice.
bool WaitForStage(const ScanEngine& engine, Stage stage) {
    for (int i = 0; i < 500 && engine.CurrentStage() != stage; ++i) {
        ::Sleep(10);
    }
    return engine.CurrentStage() == stage;
}

// Sends one byte and gives the engine's answer, or -1 when it stays quiet.
int Exchange(HANDLE port, BYTE value) {
    DWORD done = 0;
    ::WriteFile(port, &value, 1, &done, nullptr);
    BYTE answer = 0;
    return ::ReadFile(port, &answer, 1, &done, nullptr) && done == 1 ? answer : -1;
}

} // namespace

TEST(EngineLines, BootLoaderAnswersOnlyWhenPoweredUpInFlashMode) {
    SwitchedLines lines;
    EngineConfig config;
    config.lines = &lines;
    EngineThread engine(config);
    ASSERT_TRUE(engine.Start());
    common::UniqueFile port = OpenTerminalEnd();
    ASSERT_TRUE(port);

    EXPECT_EQ(Exchange(port.get(), 0x00), -1); // powered down
    lines.powered = true;
    EXPECT_EQ(Exchange(port.get(), 0x00), -1); // scanning mode
    lines.flashMode = true;
    EXPECT_EQ(Exchange(port.get(), 0x00), 0x54);
    EXPECT_EQ(Exchange(port.get(), 0xAA), 0x88);
    // A power cycle starts the boot loader afresh: auto-baud comes first again.
    lines.powered = false;
    ASSERT_TRUE(WaitForStage(engine.Engine(), Stage::Off));
    EXPECT_EQ(Exchange(port.get(), 0x00), -1);
    lines.powered = true;
    EXPECT_EQ(Exchange(port.get(), 0xAA), -1);
    EXPECT_EQ(Exchange(port.get(), 0x00), 0x54);
    engine.Stop();
    EXPECT_EQ(engine.Engine().CurrentStage(), Stage::WaitingDownload);
}

namespace {

void Send(HANDLE port, const std::vector<BYTE>& bytes) {
    DWORD done = 0;
    ::WriteFile(port, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
}

int Answer(HANDLE port) {
    BYTE answer = 0;
    DWORD done = 0;
    return ::ReadFile(port, &answer, 1, &done, nullptr) && done == 1 ? answer : -1;
}

// A command frame: five words high byte first, then their weighted checksum.
std::vector<BYTE> Frame(WORD command) {
    const WORD words[5] = {command, 0, 0, 0, 0};
    const DWORD sum = WeightedChecksum(words, 5);
    std::vector<BYTE> frame;
    for (WORD w : words) {
        frame.push_back(static_cast<BYTE>(w >> 8));
        frame.push_back(static_cast<BYTE>(w));
    }
    for (int shift = 24; shift >= 0; shift -= 8) {
        frame.push_back(static_cast<BYTE>(sum >> shift));
    }
    return frame;
}

} // namespace

// The host sends the last ack of a driver removal and powers the engine down
// at once; the lines drop before the engine has handled that ack. The ack
// arrived while the engine listened, so the driver counts as removed.
TEST(EngineLines, AckReceivedBeforeThePowerDropsIsStillHandled) {
    SwitchedLines lines;
    lines.powered = true;
    lines.flashMode = true;
    std::atomic<bool> dropAtNextReceipt{false};
    common::UniqueKernel dropped(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    EngineConfig config;
    config.lines = &lines;
    config.received = [&](const char*) {
        if (dropAtNextReceipt) {
            lines.powered = false;
            ::SetEvent(dropped.get());
        }
    };
    EngineThread engine(config);
    ASSERT_TRUE(engine.Start());
    common::UniqueFile port = OpenTerminalEnd();
    ASSERT_TRUE(port);

    ASSERT_EQ(Exchange(port.get(), 0x00), 0x54);
    ASSERT_EQ(Exchange(port.get(), 0xAA), 0x88);
    Send(port.get(), {1}); // a driver of one block
    ASSERT_EQ(Answer(port.get()), 0x80);
    ASSERT_EQ(Answer(port.get()), 1);
    Send(port.get(), std::vector<BYTE>(256, 0));
    ASSERT_EQ(Answer(port.get()), 0x7F);
    Send(port.get(), {0, 0, 0, 0});
    ASSERT_EQ(Answer(port.get()), 0xBB);
    Send(port.get(), Frame(0x10)); // ack mode
    ASSERT_EQ(Answer(port.get()), 0x32);
    ASSERT_EQ(Answer(port.get()), 0x31);
    Send(port.get(), {0x06});
    Send(port.get(), Frame(0x12)); // remove driver
    ASSERT_EQ(Answer(port.get()), 0x32);
    Send(port.get(), {0x06});
    ASSERT_EQ(Answer(port.get()), 0x31);
    dropAtNextReceipt = true;
    Send(port.get(), {0x06});
    ASSERT_EQ(::WaitForSingleObject(dropped.get(), 5000), WAIT_OBJECT_0);
    engine.Stop();
    EXPECT_TRUE(engine.Engine().DriverRemoved());
    EXPECT_TRUE(engine.Engine().Complaints().empty());
}

// Once the lines have dropped in the middle of an exchange the engine is deaf:
// what the host sends afterwards is never taken as the rest of it.
TEST(EngineLines, EngineHearsNothingAfterTheLinesDropMidExchange) {
    SwitchedLines lines;
    lines.powered = true;
    lines.flashMode = true;
    EngineConfig config;
    config.lines = &lines;
    config.received = [&](const char* what) {
        if (std::string(what) == "the driver's block count") {
            lines.powered = false;
        }
    };
    EngineThread engine(config);
    ASSERT_TRUE(engine.Start());
    common::UniqueFile port = OpenTerminalEnd();
    ASSERT_TRUE(port);

    ASSERT_EQ(Exchange(port.get(), 0x00), 0x54);
    ASSERT_EQ(Exchange(port.get(), 0xAA), 0x88);
    Send(port.get(), {1}); // received while listening: the block is still asked for
    ASSERT_EQ(Answer(port.get()), 0x80);
    ASSERT_EQ(Answer(port.get()), 1);
    ASSERT_TRUE(WaitForStage(engine.Engine(), Stage::Off));
    Send(port.get(), std::vector<BYTE>(256, 0));
    EXPECT_EQ(Answer(port.get()), -1); // no checksum request
    engine.Stop();
    EXPECT_EQ(engine.Engine().CurrentStage(), Stage::Off);
    EXPECT_TRUE(engine.Engine().BlocksServed().empty());
}

TEST(EngineProgram, ServesUntilItsTimeIsUpThenSavesItsFlash) {
    std::wstring save = L"C:\\engine_program_flash.bin";
    std::wstring command = L"\"" + testsupport::ProgramFolder() +
                           L"Q4MEngineSim.exe\" --flash-words 0x400 --seconds 1 --save " + save;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &info));
    common::UniqueKernel process(info.hProcess);
    common::UniqueKernel thread(info.hThread);
    ASSERT_EQ(::WaitForSingleObject(process.get(), 20000), WAIT_OBJECT_0);
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(code, 1u); // no driver was downloaded and removed
    EXPECT_EQ(testsupport::ReadFileBytes(save).size(), 0x800u);
    ::DeleteFileW(save.c_str());
}

TEST(EngineFaultText, FaultsAndBlockOrdersAreReadFromText) {
    Fault fault;
    ASSERT_TRUE(ParseFault(L"auto-baud:silence", &fault));
    EXPECT_EQ(fault.point, Point::AutoBaudAnswer);
    EXPECT_EQ(fault.action, Action::Silence);
    EXPECT_EQ(fault.command, AnyCommand);
    EXPECT_EQ(fault.occurrence, EveryTime);
    ASSERT_TRUE(ParseFault(L"command-done:delay:4000:0x14", &fault));
    EXPECT_EQ(fault.point, Point::CommandDone);
    EXPECT_EQ(fault.action, Action::Delay);
    EXPECT_EQ(fault.value, 4000u);
    EXPECT_EQ(fault.command, 0x14);
    EXPECT_EQ(fault.occurrence, EveryTime);
    ASSERT_TRUE(ParseFault(L"version:replace:0x41:any:3", &fault));
    EXPECT_EQ(fault.point, Point::VersionByte);
    EXPECT_EQ(fault.command, AnyCommand);
    EXPECT_EQ(fault.occurrence, 3);
    for (const wchar_t* bad : {L"", L"auto-baud", L"nowhere:silence", L"auto-baud:shout",
                               L"command-ack:replace:x", L"command-ack:replace:1:0xFF",
                               L"command-ack:replace:1:any:-1", L"auto-baud:silence:0:any:0:0"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(bad)));
        Fault untouched{Point::ReadWordByte, Action::Corrupt, 7, 0x15, 9};
        EXPECT_FALSE(ParseFault(bad, &untouched));
        EXPECT_EQ(untouched.point, Point::ReadWordByte);
        EXPECT_EQ(untouched.occurrence, 7);
    }

    std::vector<int> order;
    ASSERT_TRUE(ParseBlockOrder(L"2,1,2,0", &order));
    EXPECT_EQ(order, (std::vector<int>{2, 1, 2, 0}));
    for (const wchar_t* bad : {L"", L"1,,2", L"1,256", L"1;2", L"-1"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(bad)));
        EXPECT_FALSE(ParseBlockOrder(bad, &order));
    }
    EXPECT_EQ(order, (std::vector<int>{2, 1, 2, 0}));
}

namespace {

// Reads the child's output until `text` has appeared or the output ends.
bool ReadUntil(HANDLE output, std::string& seen, const std::string& text) {
    char buffer[256];
    DWORD got = 0;
    while (seen.find(text) == std::string::npos) {
        if (!::ReadFile(output, buffer, sizeof(buffer), &got, nullptr) || got == 0) {
            return false;
        }
        seen.append(buffer, got);
    }
    return true;
}

} // namespace

// The program's block order and faults come from its command line: the first
// auto-baud answer is a wrong byte, and the boot loader asks for the one
// block of the driver twice.
TEST(EngineProgram, BlockOrderAndFaultsComeFromTheCommandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ASSERT_TRUE(::CreatePipe(&readEnd, &writeEnd, &inherit, 0));
    common::UniqueKernel output(readEnd);
    common::UniqueKernel childOutput(writeEnd);
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    std::wstring command = L"\"" + testsupport::ProgramFolder() +
                           L"Q4MEngineSim.exe\" --lines always --seconds 3 --blocks 1,1"
                           L" --fault auto-baud:replace:0x55:any:0";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                 nullptr, &startup, &info));
    common::UniqueKernel process(info.hProcess);
    common::UniqueKernel thread(info.hThread);
    childOutput.reset();
    std::string text;
    ASSERT_TRUE(ReadUntil(output.get(), text, "listening")) << text;

    common::UniqueFile port = OpenTerminalEnd();
    ASSERT_TRUE(port);
    EXPECT_EQ(Exchange(port.get(), 0x00), 0x55);
    EXPECT_EQ(Exchange(port.get(), 0x00), 0x54);
    EXPECT_EQ(Exchange(port.get(), 0xAA), 0x88);
    Send(port.get(), {1});
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(Answer(port.get()), 0x80);
        EXPECT_EQ(Answer(port.get()), 1);
        Send(port.get(), std::vector<BYTE>(256, 0));
        EXPECT_EQ(Answer(port.get()), 0x7F);
        Send(port.get(), {0, 0, 0, 0});
    }
    EXPECT_EQ(Answer(port.get()), 0xBB);

    ASSERT_EQ(::WaitForSingleObject(process.get(), 20000), WAIT_OBJECT_0);
    ReadUntil(output.get(), text, "\x01"); // the rest, to the end of the output
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(code, 1u); // the driver was never removed
    // Its account ends the line after the two blocks (in text mode, "\r\n").
    size_t served = text.find("driver blocks served: 1 1");
    ASSERT_NE(served, std::string::npos) << text;
    EXPECT_EQ(text.substr(served + 25, 1).find_first_of("\r\n"), 0u) << text;
}
