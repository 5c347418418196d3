// The library log: one text file per loaded library, written in the ANSI code
// page, each line starting with the bracketed number of the statement that
// wrote it. The upgrade writes it only when the file already exists; the
// extract names its own.
#pragma once

#include <windows.h>

#include <string>

#include "common/handle.h"

class CQ4MLogFile {
public:
    CQ4MLogFile();
    CQ4MLogFile(const CQ4MLogFile&) = delete;
    CQ4MLogFile& operator=(const CQ4MLogFile&) = delete;

    // Opens the object's path for writing from its start, without truncating,
    // when a file of that name exists; otherwise the log stays closed.
    BOOL LogFileExistanceCheck();
    // Creates or truncates `path`, which becomes the object's path.
    BOOL Open(const wchar_t* path);
    // Writes the text as it is (the texts carry their own line ends).
    // S_OK, also with the log closed; E_FAIL for a null text.
    HRESULT LogToFile(const wchar_t* text);
    void Close();

    bool IsOpen() const { return file_.valid(); }
    const std::wstring& Path() const { return path_; }
    void SetPath(const wchar_t* path) { path_ = path; }

private:
    std::wstring path_;
    common::UniqueFile file_;
};

// The library's one log object.
CQ4MLogFile& LibraryLog();

// Writes "[site]" followed by the formatted text (printf conventions; strings
// are multibyte) to the library log.
void LogLine(int site, const char* format, ...);

// The default path of the upgrade log, in the root of the object store.
constexpr const wchar_t* DefaultLogPath = L"\\Q4MUpgrd.log";
