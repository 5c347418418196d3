// Failures the simulated engine produces on purpose. Each fault names a point
// where the engine is about to send a byte of its own and what it does there
// instead; a test lists the faults it wants in a table.
#pragma once

#include <windows.h>

#include <map>
#include <utility>
#include <vector>

namespace engine {

// Every byte the engine sends belongs to one of these points.
enum class Point {
    AutoBaudAnswer,   // 0x54 after the auto-baud byte
    DownloadAccept,   // 0x88 after the start of a driver download
    BlockRequest,     // 0x80 that opens a block request
    BlockNumber,      // the number of the block requested
    ChecksumRequest,  // 0x7F after the 128 words of a block
    DownloadComplete, // 0xBB
    CommandAck,       // 0x32
    CommandDone,      // 0x31
    FlashSize,        // each of the four bytes of the flash size
    VersionByte,      // each byte of the version string, its NUL included
    ReadWordByte,     // each byte of the data words of a read block
    ReadChecksumByte, // each of the four bytes of a read block's checksum
    SoftwareWordByte, // each byte of the four software version words
};

enum class Action {
    Silence, // send nothing and give up the exchange
    Replace, // send `value` instead of the byte
    Corrupt, // send the byte exclusive-or `value`
    Delay,   // wait `value` milliseconds, then send the byte
};

constexpr int EveryTime = -1;
constexpr BYTE AnyCommand = 0xFF;

struct Fault {
    Point point;
    Action action;
    int occurrence = EveryTime; // the n-th time (from 0) the engine reaches the point
    BYTE command = AnyCommand;  // for points inside a command: only that command's
    DWORD value = 0;
};

// What to do with one byte, decided from the fault table.
struct Decision {
    bool silent = false;
    DWORD delayMs = 0;
    BYTE byte = 0;
};

class FaultTable {
public:
    FaultTable() = default;
    explicit FaultTable(std::vector<Fault> faults) : faults_(std::move(faults)) {}

    // Counts the point and applies the first matching fault to `byte`.
    Decision Apply(Point point, BYTE command, BYTE byte);

private:
    std::vector<Fault> faults_;
    std::map<std::pair<Point, BYTE>, int> counts_; // per point and command, AnyCommand = all
};

} // namespace engine
