// The utility's own text log, "\Storage Card\HVT\Q4M\q4muputil.log".
#pragma once

#include <windows.h>

#include "common/handle.h"

namespace q4mutil {

extern const wchar_t kUtilityLogPath[];

class UtilityLog {
public:
    // Opens (creating when missing) the log for this run; a log that cannot be
    // opened records nothing.
    void Open(const wchar_t* path = kUtilityLogPath);
    void Close() { file_.reset(); }
    // Writes text in the ANSI code page, at most 255 bytes of it.
    void Write(const wchar_t* text);

private:
    common::UniqueFile file_;
};

// The one log of the program.
UtilityLog& TheLog();

// The utility's one log operation; the text carries its own "\r\n".
void LogLine(const wchar_t* text);
// LogLine with printf-style formatting (strings as %ls).
void LogFormat(const wchar_t* format, ...);

} // namespace q4mutil
