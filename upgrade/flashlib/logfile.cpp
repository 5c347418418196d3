#include "logfile.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

CQ4MLogFile::CQ4MLogFile() : path_(DefaultLogPath) {}

BOOL CQ4MLogFile::LogFileExistanceCheck() {
    Close();
    common::UniqueFile probe(::CreateFileW(path_.c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe) {
        return FALSE;
    }
    probe.reset();
    file_.reset(::CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    return file_.valid();
}

BOOL CQ4MLogFile::Open(const wchar_t* path) {
    Close();
    if (path == nullptr) {
        return FALSE;
    }
    path_ = path;
    file_.reset(::CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    return file_.valid();
}

HRESULT CQ4MLogFile::LogToFile(const wchar_t* text) {
    if (text == nullptr) {
        return E_FAIL;
    }
    if (!file_) {
        return S_OK;
    }
    int length = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) {
        return S_OK;
    }
    std::vector<char> bytes(length);
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, bytes.data(), length, nullptr, nullptr);
    DWORD written = 0;
    ::WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(length - 1), &written, nullptr);
    return S_OK;
}

void CQ4MLogFile::Close() {
    file_.reset();
}

CQ4MLogFile& LibraryLog() {
    static CQ4MLogFile log;
    return log;
}

void LogLine(int site, const char* format, ...) {
    CQ4MLogFile& log = LibraryLog();
    if (!log.IsOpen()) {
        return;
    }
    // Paths are at most 255 characters, so a line fits with room to spare;
    // anything longer is cut, never overrun.
    char line[1024];
    int prefix = std::snprintf(line, sizeof(line), "[%d]", site);
    va_list args;
    va_start(args, format);
    std::vsnprintf(line + prefix, sizeof(line) - prefix, format, args);
    va_end(args);
    wchar_t wide[1024];
    if (::MultiByteToWideChar(CP_ACP, 0, line, -1, wide, 1024) == 0) {
        wide[1023] = L'\0';
    }
    log.LogToFile(wide);
}
