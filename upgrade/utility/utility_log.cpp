#include "utility_log.h"

#include <cstdarg>
#include <cwchar>
#include <string>

namespace q4mutil {

const wchar_t kUtilityLogPath[] = L"\\Storage Card\\HVT\\Q4M\\q4muputil.log";

namespace {
// Each write goes through a buffer of this size, one byte kept for the end.
constexpr int kLineBytes = 256;
} // namespace

void UtilityLog::Open(const wchar_t* path) {
    file_.reset(::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    // Written from the beginning and never truncated, like the other logs of
    // the terminal: an older, longer log keeps its tail beyond the new text.
}

void UtilityLog::Write(const wchar_t* text) {
    if (!file_ || text == nullptr) {
        return;
    }
    const int needed = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 1) {
        return;
    }
    std::string bytes(static_cast<size_t>(needed), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, bytes.data(), needed, nullptr, nullptr);
    bytes.resize(static_cast<size_t>(needed - 1));
    if (bytes.size() > kLineBytes - 1) {
        bytes.resize(kLineBytes - 1);
    }
    DWORD written = 0;
    ::WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

UtilityLog& TheLog() {
    static UtilityLog log;
    return log;
}

void LogLine(const wchar_t* text) {
    TheLog().Write(text);
}

void LogFormat(const wchar_t* format, ...) {
    wchar_t text[1024];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vswprintf(text, sizeof(text) / sizeof(text[0]), format, arguments);
    va_end(arguments);
    if (length < 0) {
        text[sizeof(text) / sizeof(text[0]) - 1] = L'\0';
    }
    LogLine(text);
}

} // namespace q4mutil
