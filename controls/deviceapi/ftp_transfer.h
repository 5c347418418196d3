// File transfers of the FTP object: the system's own transfer calls, and the
// block copy that takes over when the system refuses a transfer's arguments.
#pragma once

#include <windows.h>
#include <wininet.h>

namespace deviceapi {

// Size of the copy buffer; each block copy allocates it afresh, zero-filled.
constexpr DWORD kCopyBlockSize = 32768;

// Downloads in binary mode, replacing an existing local file. TRUE or FALSE.
BOOL DownloadFile(HINTERNET connection, const wchar_t* remoteFile, const wchar_t* localFile);
// Uploads with `transferType` as the transfer flags. TRUE or FALSE.
BOOL UploadFile(HINTERNET connection, const wchar_t* localFile, const wchar_t* remoteFile,
                DWORD transferType);

// The block copies on their own, through a remote file opened on the connection.
BOOL CopyRemoteToLocal(HINTERNET connection, const wchar_t* remoteFile, const wchar_t* localFile);
BOOL CopyLocalToRemote(HINTERNET connection, const wchar_t* localFile, const wchar_t* remoteFile,
                       DWORD transferType);

} // namespace deviceapi
