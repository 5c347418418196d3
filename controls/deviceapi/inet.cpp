#include "inet.h"

#include <cstdint>

#include "ftp_transfer.h"

namespace {

// The status a member returns in place of its HRESULT when the session or
// connection it needs is missing: positive, so the script sees no error.
constexpr HRESULT kNotConnected = 10057; // WSAENOTCONN

constexpr const wchar_t* kAgent = L"MXQRAPI";
constexpr DWORD kCurrentDirectoryChars = 260;

// What a member reports: the low 16 bits of what the system call returned
// (1 for a successful call, not the automation TRUE).
VARIANT_BOOL LowWord(std::uintptr_t value) {
    return static_cast<VARIANT_BOOL>(static_cast<std::uint16_t>(value));
}
VARIANT_BOOL LowWord(HINTERNET handle) {
    return LowWord(reinterpret_cast<std::uintptr_t>(handle));
}
VARIANT_BOOL LowWord(BOOL result) {
    return LowWord(static_cast<std::uintptr_t>(static_cast<unsigned>(result)));
}

// Runs a call on the connection, or answers 10057 with 0 without one.
template <typename Call>
HRESULT OnConnection(HINTERNET connection, VARIANT_BOOL* result, Call call) {
    if (result == nullptr) {
        return E_POINTER;
    }
    if (connection == nullptr) {
        *result = 0;
        return kNotConnected;
    }
    *result = LowWord(call(connection));
    return S_OK;
}

} // namespace

const frame::ObjectClass& Inet::Class() {
    static const frame::ObjectClass cls = {&CLSID_Inet, &IID_IInet, nullptr};
    return cls;
}

void Inet::CloseConnection() noexcept {
    connection_.reset();
    connectionSession_.reset();
}

HRESULT Inet::FTPOpen(VARIANT_BOOL* pResult) {
    if (pResult == nullptr) {
        return E_POINTER;
    }
    common::UniqueInternet opened(
        ::InternetOpenW(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (connection_ && !connectionSession_) {
        connectionSession_ = std::move(session_);
    }
    session_ = std::move(opened);
    *pResult = LowWord(session_.get());
    return S_OK;
}

HRESULT Inet::FTPClose() {
    // The connection goes before its session, so no handle is closed twice.
    CloseConnection();
    session_.reset();
    return S_OK;
}

HRESULT Inet::FTPConnect(BSTR ServerName, BSTR UserName, BSTR Password, VARIANT_BOOL* pResult) {
    if (pResult == nullptr) {
        return E_POINTER;
    }
    if (!session_) {
        *pResult = 0;
        return kNotConnected;
    }
    CloseConnection();
    connection_.reset(::InternetConnectW(session_.get(), ServerName, port_, UserName, Password,
                                         INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0));
    *pResult = LowWord(connection_.get());
    return S_OK;
}

HRESULT Inet::FTPGetFile(BSTR RemoteFile, BSTR LocalFile, VARIANT_BOOL, VARIANT_BOOL* pResult) {
    // FailIfFileExists is not used: the local file is always replaced.
    return OnConnection(connection_.get(), pResult, [&](HINTERNET connection) {
        return deviceapi::DownloadFile(connection, RemoteFile, LocalFile);
    });
}

HRESULT Inet::FTPPutFile(BSTR LocalFile, BSTR RemoteFile, MXQRAPIFtpType TransferType,
                         VARIANT_BOOL* pResult) {
    return OnConnection(connection_.get(), pResult, [&](HINTERNET connection) {
        return deviceapi::UploadFile(connection, LocalFile, RemoteFile,
                                     static_cast<DWORD>(TransferType));
    });
}

HRESULT Inet::FTPCreateDirectory(BSTR DirectoryName, VARIANT_BOOL* pResult) {
    return OnConnection(connection_.get(), pResult, [&](HINTERNET connection) {
        return ::FtpCreateDirectoryW(connection, DirectoryName);
    });
}

HRESULT Inet::FTPDeleteFile(BSTR FileName, VARIANT_BOOL* pResult) {
    return OnConnection(connection_.get(), pResult, [&](HINTERNET connection) {
        return ::FtpDeleteFileW(connection, FileName);
    });
}

HRESULT Inet::get_FTPCurrentDirectory(BSTR* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = nullptr;
    if (!connection_) {
        return kNotConnected;
    }
    wchar_t directory[kCurrentDirectoryChars] = {};
    DWORD length = kCurrentDirectoryChars;
    if (!::FtpGetCurrentDirectoryW(connection_.get(), directory, &length)) {
        return E_FAIL;
    }
    *pVal = ::SysAllocString(directory);
    return *pVal != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT Inet::put_FTPCurrentDirectory(BSTR newVal) {
    if (!connection_) {
        return kNotConnected;
    }
    return ::FtpSetCurrentDirectoryW(connection_.get(), newVal) ? S_OK : E_FAIL;
}

HRESULT Inet::FTPRemoveDirectory(BSTR DirectoryName, VARIANT_BOOL* pResult) {
    return OnConnection(connection_.get(), pResult, [&](HINTERNET connection) {
        return ::FtpRemoveDirectoryW(connection, DirectoryName);
    });
}

HRESULT Inet::FTPRenameFile(BSTR CurrentFileName, BSTR NewFileName, VARIANT_BOOL* pResult) {
    return OnConnection(connection_.get(), pResult, [&](HINTERNET connection) {
        return ::FtpRenameFileW(connection, CurrentFileName, NewFileName);
    });
}

HRESULT Inet::get_FTPPort(short* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<short>(port_);
    return S_OK;
}

HRESULT Inet::put_FTPPort(short newVal) {
    port_ = static_cast<INTERNET_PORT>(static_cast<unsigned short>(newVal));
    return S_OK;
}
