#include "sample_files.h"

#include <cstdint>

namespace samples {

namespace {

// Repeatable contents that are not all alike, so that a misplaced or swapped
// word shows in the engine's verdict.
std::string Pattern(size_t bytes, uint32_t seed) {
    std::string data(bytes, '\0');
    uint32_t state = seed;
    for (char& byte : data) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return data;
}

} // namespace

std::string MakeFlashDriver(size_t blocks) {
    return Pattern(blocks * 256, 0x0D71);
}

std::string MakeFirmwareImage(size_t payloadBytes, bool withHeader) {
    std::string payload = Pattern(payloadBytes, 0x1A6E);
    if (!withHeader) {
        if (!payload.empty() && static_cast<unsigned char>(payload[0]) == kHeaderSignature[0]) {
            // An image without a header must not start like one.
            payload[0] = 0;
        }
        return payload;
    }
    // The library counts blocks over the whole file, header included, so the
    // header goes in front of whole blocks of payload.
    std::string header = Pattern(kHeaderBytes, 0x4EAD);
    for (size_t i = 0; i < sizeof(kHeaderSignature); ++i) {
        header[i] = static_cast<char>(kHeaderSignature[i]);
    }
    return header + payload;
}

} // namespace samples
