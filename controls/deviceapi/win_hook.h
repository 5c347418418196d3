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

    WinHook();

private:
    struct Entry {
        HWND window = nullptr; // null: free
        bool useDefaultProc = false;
        WNDPROC previous = nullptr;
        unsigned long sequence = 0; // when it was hooked: the newest is unhooked first
    };
    static constexpr int kEntries = 16;

    static LRESULT CALLBACK HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnFinalRelease() override;

    Entry entries_[kEntries];
    unsigned long nextSequence_ = 1;
};
