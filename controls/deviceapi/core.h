// Core: common device functions for scripts.
#pragma once

#include "MXQRAPI.h"
#include "frame/object.h"

class Core final : public frame::Object<Core, ICore> {
public:
    static const frame::ObjectClass& Class();

    HRESULT STDMETHODCALLTYPE SoftReset() override;
    HRESULT STDMETHODCALLTYPE RunAndReturn(BSTR FileName, BSTR Parameters, LONG* hProcess) override;
    HRESULT STDMETHODCALLTYPE RunAndWait(BSTR FileName, BSTR Parameters, LONG* hProcess) override;
    HRESULT STDMETHODCALLTYPE GetLocalTime(DATE* pVal) override;
    HRESULT STDMETHODCALLTYPE SetLocalTime(DATE NewDate) override;
    HRESULT STDMETHODCALLTYPE SetSystemTime(DATE NewDate) override;
    HRESULT STDMETHODCALLTYPE GetSystemDate(DATE* pVal) override;
    HRESULT STDMETHODCALLTYPE CaselessCompareString(BSTR String1, BSTR String2,
                                                    VARIANT_BOOL IgnoreSymbols, INT* pVal) override;
    HRESULT STDMETHODCALLTYPE DoEvents() override;
    HRESULT STDMETHODCALLTYPE GetFocus(LONG* hWnd) override;
    HRESULT STDMETHODCALLTYPE GetTickCount(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE PlaySound(BSTR FileName) override;
    HRESULT STDMETHODCALLTYPE Sleep(LONG Milliseconds) override;
    HRESULT STDMETHODCALLTYPE get_OEMInfo(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE get_PlatformType(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE get_VersionMajor(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_VersionMinor(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_BuildNumber(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_PlatformID(LONG* pVal) override;
};
