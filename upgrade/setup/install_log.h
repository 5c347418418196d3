// The install log: a plain text file in the ANSI code page, written from its
// beginning, each line converted the way the upgrade utility writes its own log.
#pragma once

#include <windows.h>

#include <string>

#include "common/handle.h"

namespace setup {

// A line as it goes into the file: the ANSI code page, at most 255 bytes.
std::string ToLogBytes(const std::wstring& text);

class InstallLog {
public:
    // Opens or creates the file for reading and writing, not shared. A log
    // that cannot be opened records nothing.
    explicit InstallLog(const std::wstring& path);

    // Writes one text that carries its own "\r\n"; failures are ignored.
    void Line(const std::wstring& text);

private:
    common::UniqueFile file_;
};

} // namespace setup
