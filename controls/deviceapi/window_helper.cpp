#include "window_helper.h"

const frame::ObjectClass& WindowHelper::Class() {
    static const frame::ObjectClass cls = {&CLSID_WindowHelper, &IID_IWindowHelper, nullptr};
    return cls;
}

HRESULT WindowHelper::BringWindowToTop(LONG) {
    return E_NOTIMPL;
}

HRESULT WindowHelper::SetAppKeyWindowAssociation(MXQRAPIAppKey, LONG) {
    return E_NOTIMPL;
}

HRESULT WindowHelper::ReleaseAppKeyWindowAssociation(MXQRAPIAppKey) {
    return E_NOTIMPL;
}

HRESULT WindowHelper::CreateRect(LONG, LONG, LONG, LONG, LONG*) {
    return E_NOTIMPL;
}

HRESULT WindowHelper::get_WorkAreaHeight(LONG*) {
    return E_NOTIMPL;
}

HRESULT WindowHelper::get_WorkAreaWidth(LONG*) {
    return E_NOTIMPL;
}

HRESULT WindowHelper::get_SIPHeight(LONG*) {
    return E_NOTIMPL;
}

HRESULT WindowHelper::UnmakeFullScreen(LONG) {
    return E_NOTIMPL;
}

HRESULT WindowHelper::MakeFullScreen(LONG) {
    return E_NOTIMPL;
}

HRESULT WindowHelper::ShowMenu(LONG) {
    return E_NOTIMPL;
}

HRESULT WindowHelper::HideMenu(LONG) {
    return E_NOTIMPL;
}

HRESULT WindowHelper::ShowStart(LONG) {
    return E_NOTIMPL;
}

HRESULT WindowHelper::HideStart(LONG) {
    return E_NOTIMPL;
}

HRESULT WindowHelper::ShowTaskbar(LONG) {
    return E_NOTIMPL;
}

HRESULT WindowHelper::HideTaskbar(LONG) {
    return E_NOTIMPL;
}
