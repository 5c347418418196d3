// The engine's flash: 16-bit words. Programming only clears bits, as on real
// flash parts, so a write over unerased words shows up in the contents.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace engine {

class FlashMemory {
public:
    // The memory holds at most this many words whatever size is reported.
    static constexpr DWORD MaximumWords = 1u << 24;

    FlashMemory(DWORD words, WORD fill);

    DWORD Size() const { return static_cast<DWORD>(words_.size()); }
    bool Holds(DWORD address, DWORD count) const;
    void Erase();
    void Program(DWORD address, const WORD* words, DWORD count);
    void ProgramSame(DWORD address, DWORD count, WORD word);
    const std::vector<WORD>& Words() const { return words_; }
    void Preset(const std::vector<WORD>& words, DWORD address = 0);

    // Little-endian words from byte 0 of the file, as a host copy holds them.
    bool PresetFromFile(const std::wstring& path);
    bool Save(const std::wstring& path) const;

private:
    std::vector<WORD> words_;
};

// Little-endian 16-bit words of a byte string; an odd last byte is dropped.
std::vector<WORD> WordsOf(const std::string& bytes);

} // namespace engine
