#include "core.h"

const frame::ObjectClass& Core::Class() {
    static const frame::ObjectClass cls = {&CLSID_Core, &IID_ICore, &DIID__ICoreEvents};
    return cls;
}

HRESULT Core::SoftReset() {
    return E_NOTIMPL;
}

HRESULT Core::RunAndReturn(BSTR, BSTR, LONG*) {
    return E_NOTIMPL;
}

HRESULT Core::RunAndWait(BSTR, BSTR, LONG*) {
    return E_NOTIMPL;
}

HRESULT Core::GetLocalTime(DATE*) {
    return E_NOTIMPL;
}

HRESULT Core::SetLocalTime(DATE) {
    return E_NOTIMPL;
}

HRESULT Core::SetSystemTime(DATE) {
    return E_NOTIMPL;
}

HRESULT Core::GetSystemDate(DATE*) {
    return E_NOTIMPL;
}

HRESULT Core::CaselessCompareString(BSTR, BSTR, VARIANT_BOOL, INT*) {
    return E_NOTIMPL;
}

HRESULT Core::DoEvents() {
    return E_NOTIMPL;
}

HRESULT Core::GetFocus(LONG*) {
    return E_NOTIMPL;
}

HRESULT Core::GetTickCount(LONG*) {
    return E_NOTIMPL;
}

HRESULT Core::PlaySound(BSTR) {
    return E_NOTIMPL;
}

HRESULT Core::Sleep(LONG) {
    return E_NOTIMPL;
}

HRESULT Core::get_OEMInfo(BSTR*) {
    return E_NOTIMPL;
}

HRESULT Core::get_PlatformType(BSTR*) {
    return E_NOTIMPL;
}

HRESULT Core::get_VersionMajor(LONG*) {
    return E_NOTIMPL;
}

HRESULT Core::get_VersionMinor(LONG*) {
    return E_NOTIMPL;
}

HRESULT Core::get_BuildNumber(LONG*) {
    return E_NOTIMPL;
}

HRESULT Core::get_PlatformID(LONG*) {
    return E_NOTIMPL;
}
