// Inet: an FTP client for scripts.
#pragma once

#include "MXQRAPI.h"
#include "frame/object.h"

class Inet final : public frame::Object<Inet, IInet> {
public:
    static const frame::ObjectClass& Class();

    HRESULT STDMETHODCALLTYPE FTPOpen(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE FTPClose() override;
    HRESULT STDMETHODCALLTYPE FTPConnect(BSTR ServerName, BSTR UserName, BSTR Password,
                                         VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE FTPGetFile(BSTR RemoteFile, BSTR LocalFile,
                                         VARIANT_BOOL FailIfFileExists,
                                         VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE FTPPutFile(BSTR LocalFile, BSTR RemoteFile,
                                         MXQRAPIFtpType TransferType, VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE FTPCreateDirectory(BSTR DirectoryName, VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE FTPDeleteFile(BSTR FileName, VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE get_FTPCurrentDirectory(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_FTPCurrentDirectory(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE FTPRemoveDirectory(BSTR DirectoryName, VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE FTPRenameFile(BSTR CurrentFileName, BSTR NewFileName,
                                            VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE get_FTPPort(SHORT* pVal) override;
    HRESULT STDMETHODCALLTYPE put_FTPPort(SHORT newVal) override;
};
