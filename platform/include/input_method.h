// The contract between the SIP manager and an input method: the manager
// loads the input method through IInputMethod and gives it an IIMCallback to
// type through. The slot orders are the platform's.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "sip.h"

// What an input method tells the manager about itself. The handles are image
// lists for the panel's button; the record is 40 bytes on the terminal and
// grows with the pointer width.
struct IMINFO {
    DWORD cbSize;
    HANDLE hImageNarrow;
    HANDLE hImageWide;
    int iNarrow;
    int iWide;
    DWORD fdwFlags; // SIPF_ flags
    RECT rcSipRect;
};
static_assert(sizeof(void*) != 4 || sizeof(IMINFO) == 40, "40 bytes on the terminal");

struct IIMCallback : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetImInfo(IMINFO* info) = 0;
    virtual HRESULT STDMETHODCALLTYPE SendVirtualKey(BYTE virtualKey, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE SendCharEvents(UINT virtualKey, UINT keyFlags, UINT count,
                                                     UINT* shiftStates, UINT* characters) = 0;
    // Types `length` characters of `text` into the window that has the focus.
    virtual HRESULT STDMETHODCALLTYPE SendString(BSTR text, DWORD length) = 0;
};

struct IInputMethod : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Select(HWND sipWindow) = 0;
    virtual HRESULT STDMETHODCALLTYPE Deselect() = 0;
    virtual HRESULT STDMETHODCALLTYPE Showing() = 0;
    virtual HRESULT STDMETHODCALLTYPE Hiding() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetInfo(IMINFO* info) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReceiveSipInfo(SIPINFO* info) = 0;
    virtual HRESULT STDMETHODCALLTYPE RegisterCallback(IIMCallback* callback) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetImData(DWORD size, void* data) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetImData(DWORD size, void* data) = 0;
    virtual HRESULT STDMETHODCALLTYPE UserOptionsDlg(HWND parent) = 0;
};

inline constexpr IID IID_IInputMethod = {
    0x42429666, 0xAE04, 0x11D0, {0xA4, 0xF8, 0x00, 0xAA, 0x00, 0xA7, 0x49, 0xB9}};
inline constexpr IID IID_IIMCallback = {
    0x42429667, 0xAE04, 0x11D0, {0xA4, 0xF8, 0x00, 0xAA, 0x00, 0xA7, 0x49, 0xB9}};

__CRT_UUID_DECL(IInputMethod, 0x42429666, 0xAE04, 0x11D0, 0xA4, 0xF8, 0x00, 0xAA, 0x00, 0xA7, 0x49,
                0xB9)
__CRT_UUID_DECL(IIMCallback, 0x42429667, 0xAE04, 0x11D0, 0xA4, 0xF8, 0x00, 0xAA, 0x00, 0xA7, 0x49,
                0xB9)
