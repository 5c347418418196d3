#include "engine/flash_memory.h"

#include <algorithm>

#include "common/handle.h"

namespace engine {

FlashMemory::FlashMemory(DWORD words, WORD fill) : words_(std::min(words, MaximumWords), fill) {}

bool FlashMemory::Holds(DWORD address, DWORD count) const {
    return address <= words_.size() && count <= words_.size() - address;
}

void FlashMemory::Erase() {
    std::fill(words_.begin(), words_.end(), static_cast<WORD>(0xFFFF));
}

void FlashMemory::Program(DWORD address, const WORD* words, DWORD count) {
    for (DWORD i = 0; i < count; ++i) {
        words_[address + i] &= words[i];
    }
}

void FlashMemory::ProgramSame(DWORD address, DWORD count, WORD word) {
    for (DWORD i = 0; i < count; ++i) {
        words_[address + i] &= word;
    }
}

void FlashMemory::Preset(const std::vector<WORD>& words, DWORD address) {
    for (size_t i = 0; i < words.size() && address + i < words_.size(); ++i) {
        words_[address + i] = words[i];
    }
}

std::vector<WORD> WordsOf(const std::string& bytes) {
    std::vector<WORD> words(bytes.size() / 2);
    for (size_t i = 0; i < words.size(); ++i) {
        words[i] = static_cast<WORD>(static_cast<BYTE>(bytes[2 * i]) |
                                     (static_cast<BYTE>(bytes[2 * i + 1]) << 8));
    }
    return words;
}

bool FlashMemory::PresetFromFile(const std::wstring& path) {
    common::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    if (!file) {
        return false;
    }
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    Preset(WordsOf(bytes));
    return true;
}

bool FlashMemory::Save(const std::wstring& path) const {
    common::UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) {
        return false;
    }
    std::string bytes;
    bytes.reserve(words_.size() * 2);
    for (WORD w : words_) {
        bytes += static_cast<char>(w & 0xFF);
        bytes += static_cast<char>(w >> 8);
    }
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

} // namespace engine
