// WinHook: subclassing of windows, each message reported to the script.
#pragma once

#include "MXQRAPI.h"
#include "frame/object.h"

class WinHook final : public frame::Object<WinHook, IWinHook> {
public:
    static const frame::ObjectClass& Class();

    HRESULT STDMETHODCALLTYPE Hook(LONG hWnd, VARIANT_BOOL UseDefaultProc,
                                   VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE Unhook(LONG hWnd, VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE GetFocus(LONG* hWnd) override;
};
