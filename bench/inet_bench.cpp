// What the FTP object costs over the system's own transfer calls: a 20 MB
// download and upload through Inet, as a ratio to the same transfers made
// straight with WinINet against the same local server in the same run.
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <string>

#include "MXQRAPI.h"
#include "common/com.h"
#include "common/internet.h"
#include "testsupport/ftp_server.h"
#include "testsupport/paths.h"
#include "testsupport/server_registration.h"
#include "best_time.h"

namespace {

constexpr size_t kBytes = 20u * 1024u * 1024u;
constexpr int kRounds = 3; // the best round counts

struct Times {
    bench::BestTime download;
    bench::BestTime upload;
};

// One download and one upload straight through WinINet; false on failure.
bool Direct(const testsupport::FtpServer& server, const std::wstring& local, Times& times) {
    common::UniqueInternet session(
        ::InternetOpenW(L"bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    common::UniqueInternet connection(::InternetConnectW(
        session.get(), L"127.0.0.1", server.port(), testsupport::FtpServer::kUser,
        testsupport::FtpServer::kPassword, INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0));
    if (!connection) {
        return false;
    }
    double start = bench::Now();
    if (!::FtpGetFileW(connection.get(), L"source.bin", local.c_str(), FALSE, FILE_ATTRIBUTE_NORMAL,
                       FTP_TRANSFER_TYPE_BINARY, 0)) {
        return false;
    }
    times.download.Add(bench::Now() - start);
    start = bench::Now();
    if (!::FtpPutFileW(connection.get(), local.c_str(), L"direct.bin", FTP_TRANSFER_TYPE_BINARY,
                       0)) {
        return false;
    }
    times.upload.Add(bench::Now() - start);
    return true;
}

// The same two transfers through the FTP object.
bool ThroughInet(const testsupport::FtpServer& server, const std::wstring& local, Times& times) {
    common::ComPtr<IInet> inet;
    if (FAILED(::CoCreateInstance(CLSID_Inet, nullptr, CLSCTX_INPROC_SERVER, IID_IInet,
                                  reinterpret_cast<void**>(inet.put())))) {
        return false;
    }
    VARIANT_BOOL ok = 0;
    inet->FTPOpen(&ok);
    inet->put_FTPPort(static_cast<short>(server.port()));
    inet->FTPConnect(common::UniqueBstr(L"127.0.0.1").get(),
                     common::UniqueBstr(testsupport::FtpServer::kUser).get(),
                     common::UniqueBstr(testsupport::FtpServer::kPassword).get(), &ok);
    if (ok == 0) {
        return false;
    }
    common::UniqueBstr remote(L"source.bin");
    common::UniqueBstr localName(local);
    double start = bench::Now();
    if (FAILED(inet->FTPGetFile(remote.get(), localName.get(), VARIANT_FALSE, &ok)) || ok != 1) {
        return false;
    }
    times.download.Add(bench::Now() - start);
    common::UniqueBstr uploaded(L"inet.bin");
    start = bench::Now();
    if (FAILED(inet->FTPPutFile(localName.get(), uploaded.get(), ftpBINARY, &ok)) || ok != 1) {
        return false;
    }
    times.upload.Add(bench::Now() - start);
    return true;
}

} // namespace

int main() {
    common::ComApartment apartment;
    if (FAILED(testsupport::RegisterServer(L"MXQRAPI.dll"))) {
        std::printf("MXQRAPI.dll could not be registered\n");
        return 1;
    }
    testsupport::FtpServer server;
    if (!server.running()) {
        std::printf("no FTP server: %s\n", server.failure().c_str());
        return 1;
    }
    std::string bytes(kBytes, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
    }
    if (!testsupport::WriteFileBytes(server.PathOf(L"source.bin"), bytes)) {
        std::printf("the source file could not be written\n");
        return 1;
    }
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring local = std::wstring(folder) + L"inet_bench.bin";

    Times direct, inet;
    for (int round = 0; round < kRounds; ++round) {
        if (!Direct(server, local, direct) || !ThroughInet(server, local, inet)) {
            std::printf("a transfer failed\n");
            ::DeleteFileW(local.c_str());
            return 1;
        }
    }
    ::DeleteFileW(local.c_str());
    const double megabytes = static_cast<double>(kBytes) / (1024.0 * 1024.0);
    std::printf("download: WinINet %.1f MB/s, Inet %.1f MB/s\n",
                megabytes / direct.download.seconds(), megabytes / inet.download.seconds());
    std::printf("upload:   WinINet %.1f MB/s, Inet %.1f MB/s\n",
                megabytes / direct.upload.seconds(), megabytes / inet.upload.seconds());
    std::printf("time, Inet / WinINet: download %.3f, upload %.3f (goal <= 1.1)\n",
                inet.download.seconds() / direct.download.seconds(),
                inet.upload.seconds() / direct.upload.seconds());
    return 0;
}
