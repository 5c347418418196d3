// A real FTP server on 127.0.0.1 for tests and benchmarks: Debian's pyftpdlib
// run by the host's Python, started from inside the terminal and ended by its
// process id. It serves a fresh temporary folder to one user (full rights)
// and to anonymous logins (read only).
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

class FtpServer {
public:
    static constexpr const wchar_t* kUser = L"terminal";
    static constexpr const wchar_t* kPassword = L"harvanti";

    // Starts the server and waits until it listens; check running().
    FtpServer();
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;
    // Ends the server, waits until it has gone and removes its folders.
    ~FtpServer();

    bool running() const { return port_ != 0; }
    // Why the server is not running, for a test's failure message.
    const std::string& failure() const { return failure_; }
    unsigned short port() const { return port_; }

    // The served folder as a Windows path, with no trailing backslash.
    const std::wstring& root() const { return root_; }
    // A file or folder below the served root ("a/b.txt" or "a\\b.txt").
    std::wstring PathOf(const std::wstring& relative) const;

    // Control connections the server has accepted so far.
    size_t ConnectionCount() const;
    // Control connections open now, as the server sees them.
    size_t OpenConnectionCount() const;
    // Waits until the server sees `count` open connections (closing one
    // takes the server a moment); false if it did not come to that.
    bool WaitForOpenConnections(size_t count, DWORD timeoutMs = 10000) const;

private:
    bool Start();
    void Stop();

    std::wstring folder_; // holds the root and the server's notes
    std::wstring root_;
    unsigned short port_ = 0;
    unsigned long pid_ = 0;
    std::string failure_;
};

// The host's path of a terminal path, as a host program must be given it.
std::string UnixPathOf(const std::wstring& path);

} // namespace testsupport
