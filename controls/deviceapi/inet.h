// Inet: the script's FTP client. One Internet session, one connection to an
// FTP server on it, and the port the next connection goes to.
#pragma once

#include "MXQRAPI.h"
#include "common/internet.h"
#include "frame/object.h"

class Inet final : public frame::Object<Inet, IInet> {
public:
    static const frame::ObjectClass& Class();

    // IInet
    HRESULT STDMETHODCALLTYPE FTPOpen(VARIANT_BOOL* pResult) override;
    HRESULT STDMETHODCALLTYPE FTPClose() override;
    HRESULT STDMETHODCALLTYPE FTPConnect(BSTR ServerName, BSTR UserName, BSTR Password,
                                         VARIANT_BOOL* pResult) override;
    HRESULT STDMETHODCALLTYPE FTPGetFile(BSTR RemoteFile, BSTR LocalFile,
                                         VARIANT_BOOL FailIfFileExists,
                                         VARIANT_BOOL* pResult) override;
    HRESULT STDMETHODCALLTYPE FTPPutFile(BSTR LocalFile, BSTR RemoteFile,
                                         MXQRAPIFtpType TransferType,
                                         VARIANT_BOOL* pResult) override;
    HRESULT STDMETHODCALLTYPE FTPCreateDirectory(BSTR DirectoryName,
                                                 VARIANT_BOOL* pResult) override;
    HRESULT STDMETHODCALLTYPE FTPDeleteFile(BSTR FileName, VARIANT_BOOL* pResult) override;
    HRESULT STDMETHODCALLTYPE get_FTPCurrentDirectory(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_FTPCurrentDirectory(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE FTPRemoveDirectory(BSTR DirectoryName,
                                                 VARIANT_BOOL* pResult) override;
    HRESULT STDMETHODCALLTYPE FTPRenameFile(BSTR CurrentFileName, BSTR NewFileName,
                                            VARIANT_BOOL* pResult) override;
    HRESULT STDMETHODCALLTYPE get_FTPPort(short* pVal) override;
    HRESULT STDMETHODCALLTYPE put_FTPPort(short newVal) override;

private:
    // Closes the connection together with a replaced session that still carried it.
    void CloseConnection() noexcept;

    // Declared so that destruction closes the connection before any session.
    common::UniqueInternet session_;
    // A session that FTPOpen replaced while the connection on it was still open:
    // the connection needs it, so it lives until the connection goes.
    common::UniqueInternet connectionSession_;
    common::UniqueInternet connection_;
    INTERNET_PORT port_ = INTERNET_INVALID_PORT_NUMBER; // 0: the FTP default port
};
