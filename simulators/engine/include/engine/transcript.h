// Every byte that crossed the engine's end of the line, in order, with its
// direction. The text form is what tests keep as golden data.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

namespace engine {

enum class Direction : char { FromHost = 'H', FromEngine = 'E' };

struct WireByte {
    Direction direction;
    BYTE value;
};

class Transcript {
public:
    void Record(Direction direction, BYTE value);
    std::vector<WireByte> Bytes() const;
    // The bytes that went one way only, in order.
    std::vector<BYTE> Sent(Direction direction) const;
    // One line per run of bytes in one direction, at most 16 bytes a line:
    // "H 00\nE 54\nH AA\n..."
    std::string Text() const;
    void Clear();

private:
    mutable std::mutex lock_;
    std::vector<WireByte> bytes_;
};

std::string FormatTranscript(const std::vector<WireByte>& bytes);

} // namespace engine
