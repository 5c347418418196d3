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

std::string MakeFirmwareImage(size_t bytes, bool withHeader) {
    std::string image = Pattern(bytes, 0x1A6E);
    if (withHeader && bytes >= kHeaderBytes) {
        for (size_t i = 0; i < sizeof(kHeaderSignature); ++i) {
            image[i] = static_cast<char>(kHeaderSignature[i]);
        }
    } else if (!image.empty() && static_cast<unsigned char>(image[0]) == kHeaderSignature[0]) {
        // An image without a header must not start like one.
        image[0] = 0;
    }
    return image;
}

} // namespace samples
