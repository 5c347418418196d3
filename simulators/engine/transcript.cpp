#include "engine/transcript.h"

#include <cstdio>

namespace engine {

void Transcript::Record(Direction direction, BYTE value) {
    std::lock_guard<std::mutex> hold(lock_);
    bytes_.push_back({direction, value});
}

std::vector<WireByte> Transcript::Bytes() const {
    std::lock_guard<std::mutex> hold(lock_);
    return bytes_;
}

std::vector<BYTE> Transcript::Sent(Direction direction) const {
    std::lock_guard<std::mutex> hold(lock_);
    std::vector<BYTE> sent;
    for (const WireByte& b : bytes_) {
        if (b.direction == direction) {
            sent.push_back(b.value);
        }
    }
    return sent;
}

std::string Transcript::Text() const {
    return FormatTranscript(Bytes());
}

void Transcript::Clear() {
    std::lock_guard<std::mutex> hold(lock_);
    bytes_.clear();
}

std::string FormatTranscript(const std::vector<WireByte>& bytes) {
    constexpr size_t perLine = 16;
    std::string text;
    size_t onLine = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        bool newRun = i == 0 || bytes[i].direction != bytes[i - 1].direction;
        if (newRun || onLine == perLine) {
            if (i != 0) {
                text += '\n';
            }
            text += static_cast<char>(bytes[i].direction);
            onLine = 0;
        }
        char hex[4];
        std::snprintf(hex, sizeof(hex), " %02X", bytes[i].value);
        text += hex;
        ++onLine;
    }
    if (!bytes.empty()) {
        text += '\n';
    }
    return text;
}

} // namespace engine
