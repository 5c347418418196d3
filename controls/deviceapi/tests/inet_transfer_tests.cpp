// Files through the FTP object, byte for byte, against a real server: the
// system's own transfer calls, and the block copy that takes over when they
// refuse their arguments.
#include <windows.h>
#include <wininet.h>

#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "inet_fixture.h"
#include "testsupport/import_patch.h"
#include "testsupport/paths.h"

namespace {

using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

// Sizes around the copy block of 32768 bytes, and one of about 1 MB.
constexpr size_t kSizes[] = {0, 1, 32767, 32768, 32769, 1048576 + 4099};

std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    unsigned state = 0x2545F491u + static_cast<unsigned>(size);
    for (char& b : bytes) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<char>(state >> 24);
    }
    return bytes;
}

int refusedGets = 0;
int refusedPuts = 0;

BOOL WINAPI RefuseGetFile(HINTERNET, LPCWSTR, LPCWSTR, BOOL, DWORD, DWORD, DWORD_PTR) {
    ++refusedGets;
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}
BOOL WINAPI RefusePutFile(HINTERNET, LPCWSTR, LPCWSTR, DWORD, DWORD_PTR) {
    ++refusedPuts;
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

// The library's transfer calls answer error 87 while this lives.
class RefusedTransfers {
public:
    RefusedTransfers()
        : get_(::GetModuleHandleW(L"MXQRAPI.dll"), "wininet.dll", "FtpGetFileW",
               reinterpret_cast<void*>(&RefuseGetFile)),
          put_(::GetModuleHandleW(L"MXQRAPI.dll"), "wininet.dll", "FtpPutFileW",
               reinterpret_cast<void*>(&RefusePutFile)) {
        refusedGets = refusedPuts = 0;
    }
    bool active() const { return get_.active() && put_.active(); }

private:
    testsupport::ImportPatch get_;
    testsupport::ImportPatch put_;
};

// What the network may do to the block copy's reads: hand over less than
// asked before the end, or fail part way.
decltype(&::InternetReadFile) systemRead = nullptr;
int readsLeft = 0;

BOOL WINAPI ShortRead(HINTERNET file, LPVOID buffer, DWORD size, LPDWORD got) {
    return systemRead(file, buffer, size < 1000 ? size : 1000, got);
}
BOOL WINAPI FailingRead(HINTERNET file, LPVOID buffer, DWORD size, LPDWORD got) {
    if (readsLeft-- <= 0) {
        *got = 0;
        ::SetLastError(ERROR_INTERNET_CONNECTION_RESET);
        return FALSE;
    }
    return systemRead(file, buffer, size, got);
}

class InetTransfer : public InetSession {
protected:
    // Uploads and downloads each size; every byte must come back.
    void RoundTripEverySize() {
        ASSERT_NE(OpenAndConnect(), 0);
        for (size_t size : kSizes) {
            SCOPED_TRACE(size);
            const std::string bytes = Pattern(size);
            const std::wstring up = LocalFile(L"up");
            ASSERT_TRUE(WriteFileBytes(up, bytes));
            const std::wstring remote = L"f" + std::to_wstring(size) + L".bin";
            EXPECT_EQ(Put(up, remote.c_str()), 1);
            EXPECT_TRUE(ReadFileBytes(server_.PathOf(remote)) == bytes) << "upload";

            const std::wstring down = LocalFile(L"dn");
            EXPECT_EQ(Get(remote.c_str(), down), 1);
            EXPECT_TRUE(ReadFileBytes(down) == bytes) << "download";
        }
    }
};

TEST_F(InetTransfer, RoundTripsEverySizeThroughTheSystemCalls) {
    RoundTripEverySize();
}

TEST_F(InetTransfer, RoundTripsEverySizeThroughTheBlockCopyWhenTheSystemRefusesWith87) {
    RefusedTransfers refused;
    ASSERT_TRUE(refused.active());
    RoundTripEverySize();
    EXPECT_EQ(refusedGets, static_cast<int>(std::size(kSizes)));
    EXPECT_EQ(refusedPuts, static_cast<int>(std::size(kSizes)));
}

TEST_F(InetTransfer, BlockCopyReportsAMissingFileOnEitherSideAsZero) {
    RefusedTransfers refused;
    ASSERT_TRUE(refused.active());
    ASSERT_NE(OpenAndConnect(), 0);
    EXPECT_EQ(Get(L"absent.bin", LocalFile(L"dn")), 0);
    ASSERT_TRUE(WriteFileBytes(server_.PathOf(L"kept.bin"), "kept"));
    EXPECT_EQ(Put(L"C:\\no such folder\\absent.bin", L"kept.bin"), 0);
    EXPECT_EQ(ReadFileBytes(server_.PathOf(L"kept.bin")), "kept")
        << "an upload that cannot read its local file leaves the remote file alone";
    EXPECT_EQ(refusedGets, 1);
    EXPECT_EQ(refusedPuts, 1);
}

TEST_F(InetTransfer, BlockCopyGoesOnAfterShortReadsAndReportsAFailedReadAsZero) {
    RefusedTransfers refused;
    ASSERT_TRUE(refused.active());
    ASSERT_NE(OpenAndConnect(), 0);
    const std::string bytes = Pattern(100000);
    ASSERT_TRUE(WriteFileBytes(server_.PathOf(L"long.bin"), bytes));
    const std::wstring down = LocalFile(L"sr");
    {
        testsupport::ImportPatch patch(::GetModuleHandleW(L"MXQRAPI.dll"), "wininet.dll",
                                       "InternetReadFile", reinterpret_cast<void*>(&ShortRead));
        ASSERT_TRUE(patch.active());
        systemRead = reinterpret_cast<decltype(systemRead)>(patch.original());
        EXPECT_EQ(Get(L"long.bin", down), 1);
        EXPECT_TRUE(ReadFileBytes(down) == bytes) << "the whole file, not its first short read";
    }
    {
        testsupport::ImportPatch patch(::GetModuleHandleW(L"MXQRAPI.dll"), "wininet.dll",
                                       "InternetReadFile", reinterpret_cast<void*>(&FailingRead));
        ASSERT_TRUE(patch.active());
        systemRead = reinterpret_cast<decltype(systemRead)>(patch.original());
        readsLeft = 1;
        EXPECT_EQ(Get(L"long.bin", down), 0) << "a transfer cut short is no success";
    }
}

TEST_F(InetTransfer, AsciiUploadConvertsLineEndsAndDownloadsAreAlwaysBinary) {
    ASSERT_NE(OpenAndConnect(), 0);
    const std::wstring up = LocalFile(L"as");
    ASSERT_TRUE(WriteFileBytes(up, "one\r\ntwo\r\n"));
    EXPECT_EQ(Put(up, L"text.txt", ftpASCII), 1);
    EXPECT_EQ(ReadFileBytes(server_.PathOf(L"text.txt")), "one\ntwo\n")
        << "the server stores an ASCII upload with its own line ends";
    EXPECT_EQ(Put(up, L"binary.txt", ftpBINARY), 1);
    EXPECT_EQ(ReadFileBytes(server_.PathOf(L"binary.txt")), "one\r\ntwo\r\n");

    const std::wstring down = LocalFile(L"bn");
    EXPECT_EQ(Get(L"text.txt", down), 1);
    EXPECT_EQ(ReadFileBytes(down), "one\ntwo\n") << "an ASCII download would add carriage returns";
}

TEST_F(InetTransfer, DownloadReplacesAnExistingLocalFileWhateverFailIfFileExistsSays) {
    ASSERT_NE(OpenAndConnect(), 0);
    ASSERT_TRUE(WriteFileBytes(server_.PathOf(L"new.txt"), "new"));
    for (VARIANT_BOOL failIfExists : {VARIANT_TRUE, VARIANT_FALSE}) {
        const std::wstring local = LocalFile(L"ex");
        ASSERT_TRUE(WriteFileBytes(local, "the old, longer content"));
        EXPECT_EQ(Get(L"new.txt", local, failIfExists), 1);
        EXPECT_EQ(ReadFileBytes(local), "new");
    }
}

TEST_F(InetTransfer, FailedTransfersGiveZero) {
    ASSERT_NE(OpenAndConnect(), 0);
    EXPECT_EQ(Get(L"absent.bin", LocalFile(L"dn")), 0);
    EXPECT_EQ(Put(L"C:\\no such folder\\absent.bin", L"absent.bin"), 0);
    const std::wstring up = LocalFile(L"up");
    ASSERT_TRUE(WriteFileBytes(up, "x"));
    EXPECT_EQ(Put(up, L"no such folder/x.bin"), 0);
}

} // namespace
