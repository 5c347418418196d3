#include "ftp_transfer.h"

#include <vector>

#include "common/handle.h"
#include "common/internet.h"

namespace deviceapi {
namespace {

// Copies until a read returns no bytes. A network read may return less than
// asked before the end of the file, so a short read is no sign of the end.
template <typename Read, typename Write> BOOL CopyBlocks(Read read, Write write) {
    std::vector<BYTE> buffer(kCopyBlockSize, 0);
    for (;;) {
        DWORD got = 0;
        if (!read(buffer.data(), kCopyBlockSize, &got)) {
            return FALSE;
        }
        if (got == 0) {
            return TRUE;
        }
        DWORD written = 0;
        if (!write(buffer.data(), got, &written) || written != got) {
            return FALSE;
        }
    }
}

} // namespace

BOOL CopyRemoteToLocal(HINTERNET connection, const wchar_t* remoteFile, const wchar_t* localFile) {
    common::UniqueInternet remote(
        ::FtpOpenFileW(connection, remoteFile, GENERIC_READ, FTP_TRANSFER_TYPE_BINARY, 0));
    if (!remote) {
        return FALSE;
    }
    common::UniqueFile local(::CreateFileW(localFile, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!local) {
        return FALSE;
    }
    return CopyBlocks([&](BYTE* data, DWORD size,
                          DWORD* got) { return ::InternetReadFile(remote.get(), data, size, got); },
                      [&](const BYTE* data, DWORD size, DWORD* written) {
                          return ::WriteFile(local.get(), data, size, written, nullptr);
                      });
}

BOOL CopyLocalToRemote(HINTERNET connection, const wchar_t* localFile, const wchar_t* remoteFile,
                       DWORD transferType) {
    // The local file first: opening the remote one for writing empties it, and
    // an upload that cannot read its source must not destroy the server's copy.
    common::UniqueFile local(::CreateFileW(localFile, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!local) {
        return FALSE;
    }
    common::UniqueInternet remote(
        ::FtpOpenFileW(connection, remoteFile, GENERIC_WRITE, transferType, 0));
    if (!remote) {
        return FALSE;
    }
    return CopyBlocks([&](BYTE* data, DWORD size,
                          DWORD* got) { return ::ReadFile(local.get(), data, size, got, nullptr); },
                      [&](const BYTE* data, DWORD size, DWORD* written) {
                          return ::InternetWriteFile(remote.get(), data, size, written);
                      });
}

BOOL DownloadFile(HINTERNET connection, const wchar_t* remoteFile, const wchar_t* localFile) {
    // An existing local file is always replaced.
    if (::FtpGetFileW(connection, remoteFile, localFile, FALSE, FILE_ATTRIBUTE_NORMAL,
                      FTP_TRANSFER_TYPE_BINARY, 0)) {
        return TRUE;
    }
    if (::GetLastError() != ERROR_INVALID_PARAMETER) {
        return FALSE;
    }
    return CopyRemoteToLocal(connection, remoteFile, localFile);
}

BOOL UploadFile(HINTERNET connection, const wchar_t* localFile, const wchar_t* remoteFile,
                DWORD transferType) {
    if (::FtpPutFileW(connection, localFile, remoteFile, transferType, 0)) {
        return TRUE;
    }
    if (::GetLastError() != ERROR_INVALID_PARAMETER) {
        return FALSE;
    }
    return CopyLocalToRemote(connection, localFile, remoteFile, transferType);
}

} // namespace deviceapi
