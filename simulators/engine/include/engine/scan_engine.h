// The scan engine at the far end of the serial line: its boot loader (auto
// baud, flash driver download in blocks of its own choosing) and the flash
// driver it then runs (ack mode, flash init, erase all, write block, write
// same word, read block, software version, remove driver) over a flash
// memory of 16-bit words.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "engine/faults.h"
#include "engine/flash_memory.h"
#include "engine/line_state.h"
#include "engine/serial_link.h"

namespace engine {

struct EngineConfig {
    DWORD flashWords = 0x20000;                   // the flash size flash init reports
    WORD fillWord = 0x0000;                       // what the flash holds before any erase
    std::vector<WORD> preset;                     // flash contents from word 0 on
    std::string version = "Q4M FLASH DRIVER 1.0"; // sent by flash init, its NUL added
    std::array<WORD, 4> softwareVersion{1, 0, 0, 0};
    std::vector<int> blockOrder; // blocks the boot loader asks for; empty = 1..N
    std::vector<Fault> faults;
    // How long the engine waits for the host inside an exchange: its watchdog
    // gives up before the host's 3-second pause after a failure has ended,
    // with as much room for a slow host inside an exchange.
    DWORD hostTimeoutMs = 1500;
    DWORD pacingBaud = 0;             // 0: no pacing
    const LineState* lines = nullptr; // null: always powered in flash mode
    // Called when bytes the engine waited for have arrived, before it handles
    // them (`what` names them). Tests drop the lines here to show that a byte
    // received while the engine listened is still handled.
    std::function<void(const char* what)> received;
};

enum class Stage {
    Off,             // not powered up in flash mode: deaf
    WaitingAutoBaud, // boot loader
    WaitingDownload, // boot loader, baud rate known
    DriverRunning,
    DriverRemoved,
};

class ScanEngine {
public:
    explicit ScanEngine(EngineConfig config);

    // Serves the line until told to stop (or, with `untilRemoved`, until the
    // flash driver has been removed).
    void Run(SerialLink& link, bool untilRemoved = false);

    // What the engine holds now; read after the run has ended.
    const FlashMemory& Flash() const { return flash_; }
    FlashMemory& Flash() { return flash_; }
    // May also be read while the engine runs.
    Stage CurrentStage() const { return stage_.load(); }
    // Whether the session since the last power-up in flash mode removed its
    // flash driver; it stays so after the host powers the engine down.
    bool DriverRemoved() const { return driverRemoved_.load(); }
    const std::vector<WORD>& DriverWords() const { return driver_; }
    const std::vector<int>& BlocksServed() const { return blocksServed_; }
    bool AckMode() const { return ackMode_; }
    int Erasures() const { return erasures_; }
    int SameWordWrites() const { return sameWordWrites_; }
    int BlockWrites() const { return blockWrites_; }
    // What the engine saw the host do wrong, one line each.
    const std::vector<std::string>& Complaints() const { return complaints_; }

private:
    struct Abandon {}; // the exchange is given up; the engine waits again

    void Handle(BYTE first);
    void Download();
    void Command(BYTE first);
    void AckMode();
    void FlashInit();
    void RemoveDriver();
    void SoftwareVersion();
    void EraseAll();
    void ReadBlock(DWORD count, DWORD address);
    void WriteBlock(DWORD count, DWORD address);
    void WriteSameWord(DWORD count, DWORD address, WORD word);

    void Reply(Point point, BYTE value, BYTE command = AnyCommand);
    void ReplyAcked(Point point, BYTE value, BYTE command);
    void ExpectAck();
    void ReceiveOrAbandon(BYTE* bytes, DWORD count, const char* what);
    bool StillListening();
    void CheckRange(DWORD count, DWORD address, const char* command);
    void Complain(const std::string& text);
    void FollowLines();

    EngineConfig config_;
    AlwaysInFlashMode alwaysOn_;
    const LineState* lines_;
    FaultTable faults_;
    FlashMemory flash_;
    SerialLink* link_ = nullptr;
    std::atomic<Stage> stage_{Stage::Off};
    std::atomic<bool> driverRemoved_{false};
    // How long an exchange in progress goes on hearing the host after the
    // lines have dropped: far below the host's settle times after a power-down.
    static constexpr DWORD HoldUpMs = 250;
    DWORD listenedAt_ = 0; // tick count when the lines were last seen up
    std::vector<WORD> driver_;
    std::vector<int> blocksServed_;
    bool ackMode_ = false;
    int erasures_ = 0;
    int sameWordWrites_ = 0;
    int blockWrites_ = 0;
    std::vector<std::string> complaints_;
};

// The weighted checksum of the wire: the first of n words weighs n, the last 1.
DWORD WeightedChecksum(const WORD* words, DWORD count);

} // namespace engine
