#include "win_hook.h"

const frame::ObjectClass& WinHook::Class() {
    static const frame::ObjectClass cls = {&CLSID_WinHook, &IID_IWinHook, &DIID__IWinHookEvents};
    return cls;
}

HRESULT WinHook::Hook(LONG, VARIANT_BOOL, VARIANT_BOOL*) {
    return E_NOTIMPL;
}

HRESULT WinHook::Unhook(LONG, VARIANT_BOOL*) {
    return E_NOTIMPL;
}

HRESULT WinHook::GetFocus(LONG*) {
    return E_NOTIMPL;
}
