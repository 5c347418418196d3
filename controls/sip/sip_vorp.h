// SipVorp: the soft input panel for the application script. Whether a panel
// is there, showing and hiding it, the installed input methods and the
// current one, a window's preference, and word completion (off while the
// user types a password).
#pragma once

#include "SipVorpel.h"
#include "frame/object.h"

class SipVorp final : public frame::Object<SipVorp, ISipVorp> {
public:
    static const frame::ObjectClass& Class();

    // Lists the input methods installed now, for every SipVorp of the process.
    SipVorp();

    HRESULT STDMETHODCALLTYPE get_KeyboardVorp(IKeyboardVorp** pVal) override;
    HRESULT STDMETHODCALLTYPE get_SipAvailable(BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Show(BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Show(BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_SipCount(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_SipName(LONG Index, BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE get_SipCLSID(LONG Index, BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE get_SipSelected(LONG Index, BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_SipSelected(LONG Index, BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_CurrentSip(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE SelectDefaultSIP() override;
    HRESULT STDMETHODCALLTYPE SelectKeyboardVorp() override;
    HRESULT STDMETHODCALLTYPE SetPreference(LONG hWnd, SipPreference State) override;
    HRESULT STDMETHODCALLTYPE get_WordCompletion(BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_WordCompletion(BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE EnterPasswordField(LONG hWnd) override;
    HRESULT STDMETHODCALLTYPE LeavePasswordField(LONG hWnd, SipPreference State) override;

private:
    DWORD savedFlags_ = 0; // by EnterPasswordField
};
