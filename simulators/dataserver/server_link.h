// How the in-process objects reach the data server process: one request and
// one reply, each a fixed-size message on the named pipe that the data server
// listens on. A data server that is absent, dies or does not answer in time
// is a failure status, never a wait without end.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace dataserver {

extern const wchar_t kPipeName[];
// Set while a data server is up and listening (manual-reset event).
extern const wchar_t kReadyEventName[];
// Owned by the running data server: there is one per terminal.
extern const wchar_t kInstanceMutexName[];

enum class Command : uint32_t {
    Ping = 1,
    PortName,
    ProcessId,
    PortHeld,
    ReleasePort,
    AcquirePort,
    LastStatus,
    LastDescription,
    DownloadCount,
    LibraryPath,
    Stop,
    Download,
};

constexpr size_t kTextChars = 1024;

#pragma pack(push, 4)
struct Request {
    uint32_t command;
    int32_t value;
    wchar_t text[kTextChars];
};
struct Reply {
    int32_t status; // an HRESULT, or the download library's status
    int32_t value;
    wchar_t text[kTextChars];
};
#pragma pack(pop)

// Copies text into a message field; false when it does not fit.
bool PutText(wchar_t (&field)[kTextChars], const std::wstring& text);

// Sends one request and waits at most timeoutMs for the pipe and for the
// reply. S_OK with the reply filled, or the failure of the exchange.
HRESULT Call(Command command, const std::wstring& text, DWORD timeoutMs, Reply& reply);

} // namespace dataserver
