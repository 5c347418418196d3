#include "inet.h"

const frame::ObjectClass& Inet::Class() {
    static const frame::ObjectClass cls = {&CLSID_Inet, &IID_IInet, nullptr};
    return cls;
}

HRESULT Inet::FTPOpen(VARIANT_BOOL*) {
    return E_NOTIMPL;
}

HRESULT Inet::FTPClose() {
    return E_NOTIMPL;
}

HRESULT Inet::FTPConnect(BSTR, BSTR, BSTR, VARIANT_BOOL*) {
    return E_NOTIMPL;
}

HRESULT Inet::FTPGetFile(BSTR, BSTR, VARIANT_BOOL, VARIANT_BOOL*) {
    return E_NOTIMPL;
}

HRESULT Inet::FTPPutFile(BSTR, BSTR, MXQRAPIFtpType, VARIANT_BOOL*) {
    return E_NOTIMPL;
}

HRESULT Inet::FTPCreateDirectory(BSTR, VARIANT_BOOL*) {
    return E_NOTIMPL;
}

HRESULT Inet::FTPDeleteFile(BSTR, VARIANT_BOOL*) {
    return E_NOTIMPL;
}

HRESULT Inet::get_FTPCurrentDirectory(BSTR*) {
    return E_NOTIMPL;
}

HRESULT Inet::put_FTPCurrentDirectory(BSTR) {
    return E_NOTIMPL;
}

HRESULT Inet::FTPRemoveDirectory(BSTR, VARIANT_BOOL*) {
    return E_NOTIMPL;
}

HRESULT Inet::FTPRenameFile(BSTR, BSTR, VARIANT_BOOL*) {
    return E_NOTIMPL;
}

HRESULT Inet::get_FTPPort(SHORT*) {
    return E_NOTIMPL;
}

HRESULT Inet::put_FTPPort(SHORT) {
    return E_NOTIMPL;
}
