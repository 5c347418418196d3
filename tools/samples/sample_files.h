// Sample flash driver and firmware image files for trying an upgrade against
// the simulated scan engine.
#pragma once

#include <cstddef>
#include <string>

namespace samples {

// The first bytes of a firmware image with a hardware header, and its size.
constexpr unsigned char kHeaderSignature[4] = {0x33, 0x05, 0x61, 0x39};
constexpr size_t kHeaderBytes = 88;

// A flash driver of whole 256-byte blocks (1 to 128 of them).
std::string MakeFlashDriver(size_t blocks);
// A firmware image with `payloadBytes` of payload (whole 256-byte blocks for an
// image that fits its block count), preceded by the hardware header when asked.
std::string MakeFirmwareImage(size_t payloadBytes, bool withHeader);

} // namespace samples
