// The test FTP server is a real server on a real socket, and the import
// patch really changes what a module's system call answers.
#include <windows.h>
#include <wininet.h>

#include <string>

#include <gtest/gtest.h>

#include "common/internet.h"
#include "testsupport/ftp_server.h"
#include "testsupport/import_patch.h"
#include "testsupport/paths.h"

namespace {

using testsupport::FtpServer;

common::UniqueInternet Connect(HINTERNET session, const FtpServer& server, const wchar_t* user,
                               const wchar_t* password) {
    return common::UniqueInternet(::InternetConnectW(session, L"127.0.0.1", server.port(), user,
                                                     password, INTERNET_SERVICE_FTP,
                                                     INTERNET_FLAG_PASSIVE, 0));
}

std::wstring LocalTempFile(const wchar_t* prefix) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    wchar_t path[MAX_PATH] = {};
    ::GetTempFileNameW(folder, prefix, 0, path);
    return path;
}

TEST(FtpServer, StoresAndServesAFileThroughTheSystemCalls) {
    FtpServer server;
    ASSERT_TRUE(server.running()) << server.failure();
    common::UniqueInternet session(
        ::InternetOpenW(L"tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    common::UniqueInternet connection =
        Connect(session.get(), server, FtpServer::kUser, FtpServer::kPassword);
    ASSERT_TRUE(connection);

    const std::string bytes("line\r\n\0\xff binary", 16);
    const std::wstring local = LocalTempFile(L"up");
    ASSERT_TRUE(testsupport::WriteFileBytes(local, bytes));
    EXPECT_TRUE(
        ::FtpPutFileW(connection.get(), local.c_str(), L"sent.bin", FTP_TRANSFER_TYPE_BINARY, 0));
    EXPECT_EQ(testsupport::ReadFileBytes(server.PathOf(L"sent.bin")), bytes);

    const std::wstring back = LocalTempFile(L"dn");
    EXPECT_TRUE(::FtpGetFileW(connection.get(), L"sent.bin", back.c_str(), FALSE,
                              FILE_ATTRIBUTE_NORMAL, FTP_TRANSFER_TYPE_BINARY, 0));
    EXPECT_EQ(testsupport::ReadFileBytes(back), bytes);
    ::DeleteFileW(local.c_str());
    ::DeleteFileW(back.c_str());
}

TEST(FtpServer, LetsAnonymousReadButNotWriteAndRefusesAWrongPassword) {
    FtpServer server;
    ASSERT_TRUE(server.running()) << server.failure();
    ASSERT_TRUE(testsupport::WriteFileBytes(server.PathOf(L"public.txt"), "hello"));
    common::UniqueInternet session(
        ::InternetOpenW(L"tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));

    common::UniqueInternet anonymous = Connect(session.get(), server, nullptr, nullptr);
    ASSERT_TRUE(anonymous);
    const std::wstring local = LocalTempFile(L"an");
    EXPECT_TRUE(::FtpGetFileW(anonymous.get(), L"public.txt", local.c_str(), FALSE,
                              FILE_ATTRIBUTE_NORMAL, FTP_TRANSFER_TYPE_BINARY, 0));
    EXPECT_EQ(testsupport::ReadFileBytes(local), "hello");
    EXPECT_FALSE(::FtpCreateDirectoryW(anonymous.get(), L"nope"));
    ::DeleteFileW(local.c_str());

    EXPECT_FALSE(Connect(session.get(), server, FtpServer::kUser, L"wrong"));
    EXPECT_EQ(server.ConnectionCount(), 2u);
}

TEST(FtpServer, SeesConnectionsOpenAndClose) {
    FtpServer server;
    ASSERT_TRUE(server.running()) << server.failure();
    common::UniqueInternet session(
        ::InternetOpenW(L"tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    common::UniqueInternet first =
        Connect(session.get(), server, FtpServer::kUser, FtpServer::kPassword);
    common::UniqueInternet second =
        Connect(session.get(), server, FtpServer::kUser, FtpServer::kPassword);
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(server.WaitForOpenConnections(2));
    first.reset();
    EXPECT_TRUE(server.WaitForOpenConnections(1));
    EXPECT_EQ(server.ConnectionCount(), 2u);
}

TEST(FtpServer, IsGoneOnceTheFixtureEnds) {
    unsigned short port = 0;
    std::wstring root;
    {
        FtpServer server;
        ASSERT_TRUE(server.running()) << server.failure();
        port = server.port();
        root = server.root();
    }
    common::UniqueInternet session(
        ::InternetOpenW(L"tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    EXPECT_FALSE(::InternetConnectW(session.get(), L"127.0.0.1", port, FtpServer::kUser,
                                    FtpServer::kPassword, INTERNET_SERVICE_FTP,
                                    INTERNET_FLAG_PASSIVE, 0));
    EXPECT_EQ(::GetFileAttributesW(root.c_str()), INVALID_FILE_ATTRIBUTES);
}

// A call of its own each time, as a module's member makes it, so the compiler
// cannot reuse an import address it read before the patch changed it.
__attribute__((noinline)) BOOL Download(HINTERNET connection, const wchar_t* remote,
                                        const std::wstring& local) {
    return ::FtpGetFileW(connection, remote, local.c_str(), FALSE, FILE_ATTRIBUTE_NORMAL,
                         FTP_TRANSFER_TYPE_BINARY, 0);
}

BOOL WINAPI RefuseGetFile(HINTERNET, LPCWSTR, LPCWSTR, BOOL, DWORD, DWORD, DWORD_PTR) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

TEST(ImportPatch, MakesTheModulesSystemCallAnswerAsTheTestSaysUntilItEnds) {
    FtpServer server;
    ASSERT_TRUE(server.running()) << server.failure();
    ASSERT_TRUE(testsupport::WriteFileBytes(server.PathOf(L"file.bin"), "data"));
    common::UniqueInternet session(
        ::InternetOpenW(L"tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    common::UniqueInternet connection =
        Connect(session.get(), server, FtpServer::kUser, FtpServer::kPassword);
    ASSERT_TRUE(connection);
    const std::wstring local = LocalTempFile(L"ip");
    {
        testsupport::ImportPatch patch(::GetModuleHandleW(nullptr), "wininet.dll", "FtpGetFileW",
                                       reinterpret_cast<void*>(&RefuseGetFile));
        ASSERT_TRUE(patch.active());
        EXPECT_FALSE(Download(connection.get(), L"file.bin", local));
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    EXPECT_TRUE(Download(connection.get(), L"file.bin", local)) << ::GetLastError();
    EXPECT_EQ(testsupport::ReadFileBytes(local), "data");
    ::DeleteFileW(local.c_str());
}

} // namespace
