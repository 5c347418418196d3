// The FTP object's session and connection: what each member does without
// them, the handles it keeps, and the directory members on a real server.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "inet_fixture.h"
#include "testsupport/paths.h"
#include "testsupport/script_host.h"

namespace {

constexpr HRESULT kNotConnected = 10057;

using common::UniqueBstr;

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every member that needs the connection answers 10057 with a 0 result.
void ExpectNotConnected(IInet* inet) {
    UniqueBstr name(L"x");
    VARIANT_BOOL result = -7;
    EXPECT_EQ(inet->FTPGetFile(name.get(), name.get(), VARIANT_FALSE, &result), kNotConnected);
    EXPECT_EQ(result, 0);
    result = -7;
    EXPECT_EQ(inet->FTPPutFile(name.get(), name.get(), ftpBINARY, &result), kNotConnected);
    EXPECT_EQ(result, 0);
    result = -7;
    EXPECT_EQ(inet->FTPCreateDirectory(name.get(), &result), kNotConnected);
    EXPECT_EQ(result, 0);
    result = -7;
    EXPECT_EQ(inet->FTPDeleteFile(name.get(), &result), kNotConnected);
    EXPECT_EQ(result, 0);
    result = -7;
    EXPECT_EQ(inet->FTPRemoveDirectory(name.get(), &result), kNotConnected);
    EXPECT_EQ(result, 0);
    result = -7;
    EXPECT_EQ(inet->FTPRenameFile(name.get(), name.get(), &result), kNotConnected);
    EXPECT_EQ(result, 0);
    BSTR directory = reinterpret_cast<BSTR>(1);
    EXPECT_EQ(inet->get_FTPCurrentDirectory(&directory), kNotConnected);
    EXPECT_EQ(directory, nullptr);
    EXPECT_EQ(inet->put_FTPCurrentDirectory(name.get()), kNotConnected);
}

using InetObject = InetSession;

TEST_F(InetObject, ANewObjectHasNoConnectionAndConnectsOnlyAfterOpen) {
    ExpectNotConnected(inet_.get());
    short port = -1;
    EXPECT_EQ(inet_->get_FTPPort(&port), S_OK);
    EXPECT_EQ(port, 0) << "0: the FTP default port";

    EXPECT_EQ(inet_->put_FTPPort(static_cast<short>(server_.port())), S_OK);
    VARIANT_BOOL connected = -7;
    EXPECT_EQ(inet_->FTPConnect(UniqueBstr(L"127.0.0.1").get(),
                                UniqueBstr(testsupport::FtpServer::kUser).get(),
                                UniqueBstr(testsupport::FtpServer::kPassword).get(), &connected),
              kNotConnected);
    EXPECT_EQ(connected, 0);
    EXPECT_EQ(server_.ConnectionCount(), 0u) << "no server is contacted without a session";

    EXPECT_NE(OpenAndConnect(), 0);
    EXPECT_EQ(server_.ConnectionCount(), 1u);
}

TEST_F(InetObject, TheStoredPortKeepsAllSixteenBits) {
    EXPECT_EQ(inet_->put_FTPPort(static_cast<short>(40000)), S_OK);
    short port = 0;
    EXPECT_EQ(inet_->get_FTPPort(&port), S_OK);
    EXPECT_EQ(static_cast<unsigned short>(port), 40000);
}

TEST_F(InetObject, AWrongPasswordOrPortGivesZeroAndLeavesNoConnection) {
    EXPECT_EQ(OpenAndConnect(L"wrong"), 0);
    ExpectNotConnected(inet_.get());

    const unsigned short closedPort = static_cast<unsigned short>(server_.port() + 1);
    EXPECT_EQ(inet_->put_FTPPort(static_cast<short>(closedPort)), S_OK);
    EXPECT_EQ(Connect(), 0);
    ExpectNotConnected(inet_.get());
}

TEST_F(InetObject, CloseEndsTheConnectionAndASecondCloseDoesNothing) {
    ASSERT_NE(OpenAndConnect(), 0);
    EXPECT_TRUE(server_.WaitForOpenConnections(1));
    EXPECT_EQ(inet_->FTPClose(), S_OK);
    EXPECT_TRUE(server_.WaitForOpenConnections(0));
    ExpectNotConnected(inet_.get());
    EXPECT_EQ(inet_->FTPClose(), S_OK);
    VARIANT_BOOL connected = -7;
    EXPECT_EQ(inet_->FTPConnect(UniqueBstr(L"127.0.0.1").get(), UniqueBstr(L"u").get(),
                                UniqueBstr(L"p").get(), &connected),
              kNotConnected)
        << "the session went with the close";
}

TEST_F(InetObject, AReplacedConnectionIsClosedAndAReplacedSessionKeepsItsConnectionWorking) {
    ASSERT_NE(OpenAndConnect(), 0);
    ASSERT_NE(Connect(), 0);
    EXPECT_TRUE(server_.WaitForOpenConnections(1)) << "the first connection is closed";
    EXPECT_EQ(server_.ConnectionCount(), 2u);

    VARIANT_BOOL opened = 0;
    EXPECT_EQ(inet_->FTPOpen(&opened), S_OK);
    EXPECT_NE(opened, 0);
    VARIANT_BOOL made = 0;
    EXPECT_EQ(inet_->FTPCreateDirectory(UniqueBstr(L"still").get(), &made), S_OK);
    EXPECT_EQ(made, 1) << "the connection outlives the session it was made on";

    ASSERT_NE(Connect(), 0);
    EXPECT_TRUE(server_.WaitForOpenConnections(1));
    EXPECT_EQ(inet_->FTPClose(), S_OK);
    EXPECT_TRUE(server_.WaitForOpenConnections(0));
}

TEST_F(InetObject, ReleasingTheObjectEndsItsConnection) {
    ASSERT_NE(OpenAndConnect(), 0);
    EXPECT_TRUE(server_.WaitForOpenConnections(1));
    inet_.reset();
    EXPECT_TRUE(server_.WaitForOpenConnections(0));
}

TEST_F(InetObject, DirectoryMembersChangeTheServersFolderAndAnswerOneOrZero) {
    ASSERT_NE(OpenAndConnect(), 0);
    VARIANT_BOOL result = -7;
    EXPECT_EQ(inet_->FTPCreateDirectory(UniqueBstr(L"made").get(), &result), S_OK);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(IsFolder(server_.PathOf(L"made")));
    EXPECT_EQ(inet_->FTPCreateDirectory(UniqueBstr(L"made").get(), &result), S_OK);
    EXPECT_EQ(result, 0) << "it exists already";

    ASSERT_TRUE(testsupport::WriteFileBytes(server_.PathOf(L"made/old.txt"), "content"));
    EXPECT_EQ(inet_->FTPRenameFile(UniqueBstr(L"made/old.txt").get(),
                                   UniqueBstr(L"made/new.txt").get(), &result),
              S_OK);
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(Exists(server_.PathOf(L"made/old.txt")));
    EXPECT_EQ(testsupport::ReadFileBytes(server_.PathOf(L"made/new.txt")), "content");
    EXPECT_EQ(
        inet_->FTPRenameFile(UniqueBstr(L"absent").get(), UniqueBstr(L"other").get(), &result),
        S_OK);
    EXPECT_EQ(result, 0);

    EXPECT_EQ(inet_->FTPRemoveDirectory(UniqueBstr(L"made").get(), &result), S_OK);
    EXPECT_EQ(result, 0) << "it is not empty";
    EXPECT_EQ(inet_->FTPDeleteFile(UniqueBstr(L"made/new.txt").get(), &result), S_OK);
    EXPECT_EQ(result, 1) << "1, not the automation TRUE";
    EXPECT_FALSE(Exists(server_.PathOf(L"made/new.txt")));
    EXPECT_EQ(inet_->FTPDeleteFile(UniqueBstr(L"made/new.txt").get(), &result), S_OK);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(inet_->FTPRemoveDirectory(UniqueBstr(L"made").get(), &result), S_OK);
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(Exists(server_.PathOf(L"made")));
}

TEST_F(InetObject, TheCurrentDirectoryIsTheServersAndAFailedChangeIsAnError) {
    ASSERT_NE(OpenAndConnect(), 0);
    ASSERT_TRUE(::CreateDirectoryW(server_.PathOf(L"inbox").c_str(), nullptr));
    BSTR raw = nullptr;
    ASSERT_EQ(inet_->get_FTPCurrentDirectory(&raw), S_OK);
    UniqueBstr directory = UniqueBstr::attach(raw);
    EXPECT_STREQ(directory.get(), L"/");

    EXPECT_EQ(inet_->put_FTPCurrentDirectory(UniqueBstr(L"inbox").get()), S_OK);
    ASSERT_EQ(inet_->get_FTPCurrentDirectory(&raw), S_OK);
    directory = UniqueBstr::attach(raw);
    EXPECT_STREQ(directory.get(), L"/inbox");
    EXPECT_EQ(inet_->put_FTPCurrentDirectory(UniqueBstr(L"absent").get()), E_FAIL);

    const std::wstring local = LocalFile(L"cd");
    ASSERT_TRUE(testsupport::WriteFileBytes(local, "here"));
    EXPECT_EQ(Put(local, L"here.txt"), 1);
    EXPECT_EQ(testsupport::ReadFileBytes(server_.PathOf(L"inbox/here.txt")), "here")
        << "names are taken relative to the current directory";
}

TEST_F(InetObject, AScriptUploadsAndDownloadsAFile) {
    const std::wstring local = LocalFile(L"vb");
    const std::wstring back = LocalFile(L"vb");
    ASSERT_TRUE(testsupport::WriteFileBytes(local, "from the script\r\n"));
    const auto narrow = [](const std::wstring& text) {
        return std::string(text.begin(), text.end());
    };
    const std::string output = testsupport::RunVbScript(
        "Set ftp = CreateObject(\"MXQRAPI.Inet\")\r\n"
        "WScript.Echo \"open \" & (ftp.FTPOpen() <> 0)\r\n"
        // The port is a 16-bit signed property: ports above 32767 are negative.
        "ftp.FTPPort = " +
        std::to_string(static_cast<short>(server_.port())) +
        "\r\n"
        "WScript.Echo \"connect \" & (ftp.FTPConnect(\"127.0.0.1\", \"terminal\", \"harvanti\") "
        "<> 0)\r\n"
        "WScript.Echo \"put \" & CInt(ftp.FTPPutFile(\"" +
        narrow(local) +
        "\", \"script.txt\", 2))\r\n"
        "WScript.Echo \"get \" & CInt(ftp.FTPGetFile(\"script.txt\", \"" +
        narrow(back) +
        "\", True))\r\n"
        "WScript.Echo \"dir \" & ftp.FTPCurrentDirectory\r\n"
        "ftp.FTPClose\r\n"
        "WScript.Echo \"done\"\r\n");
    EXPECT_EQ(output, "open True\r\nconnect True\r\nput 1\r\nget 1\r\ndir /\r\ndone\r\n");
    EXPECT_EQ(testsupport::ReadFileBytes(server_.PathOf(L"script.txt")), "from the script\r\n");
    EXPECT_EQ(testsupport::ReadFileBytes(back), "from the script\r\n");
}

} // namespace
