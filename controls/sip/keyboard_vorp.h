// KeyboardVorp: the keyboard panel's configuration for scripts, and the
// input method that the SIP manager loads into the SIP window. Both roles in
// one class; they share the configuration in the registry and, within one
// process, the live panel.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "SipVorpel.h"
#include "frame/object.h"
#include "input_method.h"

class KeyboardVorp final : public frame::Object<KeyboardVorp, IKeyboardVorp>, public IInputMethod {
public:
    static const frame::ObjectClass& Class();

    KeyboardVorp();
    ~KeyboardVorp() override;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefObject(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseObject(); }

    // IKeyboardVorp
    HRESULT STDMETHODCALLTYPE get_Rows(short* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Rows(short newVal) override;
    HRESULT STDMETHODCALLTYPE get_Cols(short* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Cols(short newVal) override;
    HRESULT STDMETHODCALLTYPE get_Title(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Title(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_TextColor(ULONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_TextColor(ULONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_BackColor(ULONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_BackColor(ULONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_Style(SipStyle* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Style(SipStyle newVal) override;
    HRESULT STDMETHODCALLTYPE get_Align(SipAlign* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Align(SipAlign newVal) override;
    HRESULT STDMETHODCALLTYPE SetKey(short Index, BSTR DisplayText, BSTR KeyText,
                                     SipKeyUse KeyUse) override;
    HRESULT STDMETHODCALLTYPE get_FlatLook(BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_FlatLook(BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_AboutDescription(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_AboutDescription(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_DefaultIcon(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_DefaultIcon(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_ImageNarrow(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ImageNarrow(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_ImageWide(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ImageWide(BSTR newVal) override;

    // IInputMethod
    HRESULT STDMETHODCALLTYPE Select(HWND sipWindow) override;
    HRESULT STDMETHODCALLTYPE Deselect() override;
    HRESULT STDMETHODCALLTYPE Showing() override;
    HRESULT STDMETHODCALLTYPE Hiding() override;
    HRESULT STDMETHODCALLTYPE GetInfo(IMINFO* info) override;
    HRESULT STDMETHODCALLTYPE ReceiveSipInfo(SIPINFO* info) override;
    HRESULT STDMETHODCALLTYPE RegisterCallback(IIMCallback* callback) override;
    HRESULT STDMETHODCALLTYPE GetImData(DWORD size, void* data) override;
    HRESULT STDMETHODCALLTYPE SetImData(DWORD size, void* data) override;
    HRESULT STDMETHODCALLTYPE UserOptionsDlg(HWND parent) override;

    // The options dialog's own reading of the display name (options_dialog.cpp).
    const std::wstring& DisplayName() const noexcept { return displayName_; }

protected:
    void OnFinalRelease() override;

private:
    void DestroyImageLists() noexcept;
    HRESULT GetClassText(const wchar_t* subkey, const wchar_t* name, const wchar_t* fallback,
                         BSTR* pVal);
    HRESULT PutClassText(const wchar_t* subkey, const wchar_t* name, BSTR newVal);

    std::wstring displayName_;
    HIMAGELIST narrow_ = nullptr;
    HIMAGELIST wide_ = nullptr;
    HWND sipWindow_ = nullptr;
};
