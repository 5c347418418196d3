#include "testsupport/ftp_server.h"

#include <cstdio>

#include "common/handle.h"
#include "testsupport/paths.h"

namespace testsupport {
namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kStopTimeoutMs = 10000;
// Should a test die without ending it, the server ends itself after this.
constexpr const wchar_t* kLifetimeSeconds = L"1800";
constexpr const wchar_t* kPython = L"Z:\\usr\\bin\\python3";
constexpr const wchar_t* kKill = L"Z:\\bin\\kill";

struct ChangeNotificationTraits {
    using Type = HANDLE;
    static Type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Type h) noexcept { ::FindCloseChangeNotification(h); }
};
using UniqueChangeNotification = common::UniqueHandle<ChangeNotificationTraits>;

std::wstring Quoted(const std::string& text) {
    return L"\"" + std::wstring(text.begin(), text.end()) + L"\"";
}

// Wine runs an ELF file named by its Windows path as a host process. Its
// standard handles are not ours and no process handle comes back, so the
// server talks to us through files.
bool StartHostProgram(const wchar_t* program, std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return false;
    }
    common::UniqueKernel process(info.hProcess);
    common::UniqueKernel thread(info.hThread);
    return true;
}

// Waits until `done` holds, woken by every file name change in `folder`.
template <typename Condition>
bool WaitInFolder(const std::wstring& folder, DWORD timeoutMs, Condition done) {
    UniqueChangeNotification change(::FindFirstChangeNotificationW(
        folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE));
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (done()) {
            return true;
        }
        const DWORD spent = ::GetTickCount() - start;
        if (!change || spent >= timeoutMs ||
            ::WaitForSingleObject(change.get(), timeoutMs - spent) != WAIT_OBJECT_0) {
            return done();
        }
        ::FindNextChangeNotification(change.get());
    }
}

std::wstring NewTemporaryFolder() {
    static LONG counter = 0;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    wchar_t name[64];
    std::swprintf(name, 64, L"ftp-%lu-%ld", ::GetCurrentProcessId(),
                  ::InterlockedIncrement(&counter));
    std::wstring folder = std::wstring(temp) + name;
    RemoveTree(folder);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

} // namespace

std::string UnixPathOf(const std::wstring& path) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr) {
        return {};
    }
    char* unix = toUnix(path.c_str());
    if (unix == nullptr) {
        return {};
    }
    std::string result(unix);
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return result;
}

FtpServer::FtpServer() {
    if (!Start()) {
        Stop();
    }
}

FtpServer::~FtpServer() {
    Stop();
}

bool FtpServer::Start() {
    folder_ = NewTemporaryFolder();
    root_ = folder_ + L"\\root";
    ::CreateDirectoryW(root_.c_str(), nullptr);
    WriteFileBytes(folder_ + L"\\connections.log", "");

    const std::string script = UnixPathOf(ProgramFolder() + L"ftp_server.py");
    const std::string root = UnixPathOf(root_);
    const std::string state = UnixPathOf(folder_);
    if (script.empty() || root.empty() || state.empty()) {
        failure_ = "cannot name the server's files on the host";
        return false;
    }
    const std::wstring commandLine = L"python3 " + Quoted(script) + L" " + Quoted(root) + L" " +
                                     kUser + L" " + kPassword + L" " + Quoted(state) + L" " +
                                     kLifetimeSeconds;
    if (!StartHostProgram(kPython, commandLine)) {
        failure_ = "cannot start /usr/bin/python3";
        return false;
    }

    // The server renames its note into place whole once it listens.
    const std::wstring ready = folder_ + L"\\ready";
    std::string note;
    if (!WaitInFolder(folder_, kStartTimeoutMs, [&] {
            note = ReadFileBytes(ready);
            return !note.empty();
        })) {
        failure_ = "the server did not start within 20 s";
        return false;
    }
    unsigned port = 0;
    unsigned long pid = 0;
    if (std::sscanf(note.c_str(), "%u %lu", &port, &pid) != 2 || port == 0 || port > 65535) {
        failure_ = "the server's note reads: " + note;
        return false;
    }
    pid_ = pid;
    port_ = static_cast<unsigned short>(port);
    return true;
}

void FtpServer::Stop() {
    if (pid_ != 0) {
        // The server takes its note away as it ends.
        const std::wstring ready = folder_ + L"\\ready";
        if (StartHostProgram(kKill, L"kill -TERM " + std::to_wstring(pid_))) {
            WaitInFolder(folder_, kStopTimeoutMs, [&] {
                return ::GetFileAttributesW(ready.c_str()) == INVALID_FILE_ATTRIBUTES;
            });
        }
        pid_ = 0;
    }
    port_ = 0;
    if (!folder_.empty()) {
        RemoveTree(folder_);
    }
}

std::wstring FtpServer::PathOf(const std::wstring& relative) const {
    std::wstring path = root_ + L"\\" + relative;
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path;
}

namespace {

size_t CountLines(const std::string& log, const std::string& start) {
    size_t lines = 0;
    for (size_t at = 0; at < log.size();) {
        size_t end = log.find('\n', at);
        if (end == std::string::npos) {
            break; // a line still being written
        }
        lines += log.compare(at, start.size(), start) == 0 ? 1 : 0;
        at = end + 1;
    }
    return lines;
}

} // namespace

size_t FtpServer::ConnectionCount() const {
    return CountLines(ReadFileBytes(folder_ + L"\\connections.log"), "connect ");
}

size_t FtpServer::OpenConnectionCount() const {
    const std::string log = ReadFileBytes(folder_ + L"\\connections.log");
    return CountLines(log, "connect ") - CountLines(log, "disconnect ");
}

bool FtpServer::WaitForOpenConnections(size_t count, DWORD timeoutMs) const {
    return WaitInFolder(folder_, timeoutMs, [&] { return OpenConnectionCount() == count; });
}

} // namespace testsupport
