// The serial port the scan engine is wired to: opened by name without
// sharing, set up for the flash download (38400 baud, 8N1, no flow control),
// and the wide paths the callers pass converted for the protocol layer.
#pragma once

#include <windows.h>

// Opens the port for reading and writing, not shared; INVALID_HANDLE_VALUE
// when it cannot be opened.
HANDLE OpenEnginePort(const wchar_t* name);

// Applies the download line settings, purges both directions and sets the
// port set-up timeouts (3000 ms read and write). `applied` receives the line
// settings and the timeouts as the port reports them afterwards.
void ConfigureEnginePort(HANDLE port, DCB* applied, COMMTIMEOUTS* timeouts);

// A path in the multibyte code page, as the protocol layer takes it: at most
// 255 characters. A null, unconvertible or longer path becomes empty, which
// names no file.
struct MultibytePath {
    char text[256];
    const char* c_str() const { return text; }
};
MultibytePath ToMultibyte(const wchar_t* path);
