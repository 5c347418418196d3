// WindowHelper: full-screen mode, shell bar parts, application keys and screen areas.
#pragma once

#include "MXQRAPI.h"
#include "frame/object.h"

class WindowHelper final : public frame::Object<WindowHelper, IWindowHelper> {
public:
    static const frame::ObjectClass& Class();

    HRESULT STDMETHODCALLTYPE BringWindowToTop(LONG hWnd) override;
    HRESULT STDMETHODCALLTYPE SetAppKeyWindowAssociation(MXQRAPIAppKey AppKey, LONG hWnd) override;
    HRESULT STDMETHODCALLTYPE ReleaseAppKeyWindowAssociation(MXQRAPIAppKey AppKey) override;
    HRESULT STDMETHODCALLTYPE CreateRect(LONG Left, LONG Top, LONG Right, LONG Bottom,
                                         LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_WorkAreaHeight(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_WorkAreaWidth(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_SIPHeight(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE UnmakeFullScreen(LONG hWnd) override;
    HRESULT STDMETHODCALLTYPE MakeFullScreen(LONG hWnd) override;
    HRESULT STDMETHODCALLTYPE ShowMenu(LONG hWnd) override;
    HRESULT STDMETHODCALLTYPE HideMenu(LONG hWnd) override;
    HRESULT STDMETHODCALLTYPE ShowStart(LONG hWnd) override;
    HRESULT STDMETHODCALLTYPE HideStart(LONG hWnd) override;
    HRESULT STDMETHODCALLTYPE ShowTaskbar(LONG hWnd) override;
    HRESULT STDMETHODCALLTYPE HideTaskbar(LONG hWnd) override;
};
