// The engine's own account of a session: what it served and whether its
// flash now holds a given firmware image.
#pragma once

#include <string>

#include "engine/scan_engine.h"

namespace engine {

// Compares the flash with the payload of a firmware image file (after its
// 88-byte hardware header when it has one); one line of text.
std::string FlashVerdict(const ScanEngine& engine, const std::wstring& imagePath);

// Stage, blocks served, erasures, writes and complaints, one per line.
std::string SessionSummary(const ScanEngine& engine);

} // namespace engine
