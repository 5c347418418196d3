#include "install_log.h"

namespace setup {

namespace {

// The utility converts each line into a 256-byte buffer that keeps room for
// the terminating zero.
constexpr size_t kLineBytes = 255;

} // namespace

std::string ToLogBytes(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int wideLength = static_cast<int>(text.size());
    const int needed =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        return {};
    }
    std::string bytes(static_cast<size_t>(needed), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, bytes.data(), needed, nullptr,
                          nullptr);
    if (bytes.size() > kLineBytes) {
        // Cut between characters: never leave half of a double-byte character.
        size_t keep = 0;
        while (keep < kLineBytes) {
            const size_t step =
                ::IsDBCSLeadByte(static_cast<BYTE>(bytes[keep])) && keep + 1 < bytes.size() ? 2 : 1;
            if (keep + step > kLineBytes) {
                break;
            }
            keep += step;
        }
        bytes.resize(keep);
    }
    return bytes;
}

InstallLog::InstallLog(const std::wstring& path)
    : file_(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {}

void InstallLog::Line(const std::wstring& text) {
    if (!file_) {
        return;
    }
    const std::string bytes = ToLogBytes(text);
    DWORD written = 0;
    ::WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

} // namespace setup
