#include "engine/verdict.h"

#include <algorithm>
#include <cstdio>

#include "common/handle.h"

namespace engine {

namespace {

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
    common::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    if (!file) {
        return false;
    }
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    return true;
}

const char* StageName(Stage stage) {
    switch (stage) {
    case Stage::Off:
        return "off";
    case Stage::WaitingAutoBaud:
        return "boot loader, waiting for auto-baud";
    case Stage::WaitingDownload:
        return "boot loader, waiting for a driver";
    case Stage::DriverRunning:
        return "flash driver running";
    case Stage::DriverRemoved:
        return "flash driver removed";
    }
    return "?";
}

} // namespace

std::string FlashVerdict(const ScanEngine& engine, const std::wstring& imagePath) {
    std::string image;
    if (!ReadWholeFile(imagePath, image)) {
        return "image cannot be read";
    }
    static const char tag[] = {0x33, 0x05, 0x61, 0x39};
    size_t offset = image.size() >= 4 && image.compare(0, 4, tag, 4) == 0 ? 88 : 0;
    // Whole blocks of the file are written (the header counts towards the
    // number of blocks) from behind the header on, as far as the file goes.
    if (offset > image.size()) {
        return "image too small";
    }
    size_t payloadWords = std::min((image.size() / 256) * 128, (image.size() - offset) / 2);
    std::vector<WORD> words = WordsOf(image.substr(offset, payloadWords * 2));
    const std::vector<WORD>& flash = engine.Flash().Words();
    char line[160];
    if (words.size() > flash.size()) {
        std::snprintf(line, sizeof(line), "image of %u words does not fit a flash of %u words",
                      static_cast<unsigned>(words.size()), static_cast<unsigned>(flash.size()));
        return line;
    }
    for (size_t i = 0; i < words.size(); ++i) {
        if (flash[i] != words[i]) {
            std::snprintf(line, sizeof(line),
                          "flash differs from the image at word 0x%X: 0x%04X, image 0x%04X",
                          static_cast<unsigned>(i), flash[i], words[i]);
            return line;
        }
    }
    std::snprintf(line, sizeof(line), "flash holds the image (%u words)",
                  static_cast<unsigned>(words.size()));
    return line;
}

std::string SessionSummary(const ScanEngine& engine) {
    std::string text = std::string("stage: ") + StageName(engine.CurrentStage()) + "\n";
    text += "driver blocks served:";
    for (int b : engine.BlocksServed()) {
        text += " " + std::to_string(b);
    }
    text += "\nerasures: " + std::to_string(engine.Erasures()) +
            ", block writes: " + std::to_string(engine.BlockWrites()) +
            ", same-word writes: " + std::to_string(engine.SameWordWrites()) + "\n";
    for (const std::string& complaint : engine.Complaints()) {
        text += "complaint: " + complaint + "\n";
    }
    return text;
}

} // namespace engine
