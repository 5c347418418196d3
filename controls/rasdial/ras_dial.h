// RASDial: dials a phonebook entry for the script and tells it how the dial
// goes through events. Invisible at run time; its window only receives the
// remote access service's notifications. A synchronous dial runs a nested
// message loop, so the notifications and the script's handlers of the events
// they raise run before Dial returns.
#pragma once

#include <string>

#include "dialvora_interfaces.h"
#include "ceras.h"
#include "common/com.h"
#include "common/handle.h"
#include "frame/control.h"

class RASDial final : public frame::Control<RASDial, IRASDial> {
public:
    static const frame::ControlClass& Class();
    static std::span<const frame::Message<RASDial>> Messages();

    RASDial();

    HRESULT STDMETHODCALLTYPE get_Handle(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Error(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE Dial(BSTR EntryName, BSTR User, BSTR Password, BSTR Domain) override;
    HRESULT STDMETHODCALLTYPE Hangup(BSTR EntryName) override;
    HRESULT STDMETHODCALLTYPE get_SyncDial(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_SyncDial(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_ConnectState(RD_CONNSTATE* pVal) override;
    HRESULT STDMETHODCALLTYPE get_SyncTimeout(SHORT* pVal) override;
    HRESULT STDMETHODCALLTYPE put_SyncTimeout(SHORT newVal) override;

private:
    LRESULT OnDialEvent(WPARAM wParam, LPARAM lParam, bool& handled);

    // Waits for the completion event while dispatching this thread's
    // messages; WAIT_TIMEOUT when `timeoutMs` passed first.
    DWORD WaitForCompletion(DWORD timeoutMs);
    // Ends a synchronous wait: the event is set and let go.
    void ReleaseCompletion();
    void HangUpOwn();

    // Error text, then the events of a failed dial.
    void Fail(const std::wstring& errorText);
    void FireText(DISPID id, const std::wstring& text);

    HRASCONN connection_ = 0;
    common::UniqueKernel completion_;
    std::wstring lastEntry_;
    bool dialled_ = false; // a dial got past the entry look-up
    std::wstring errorText_;
    VARIANT_BOOL syncDial_ = 1; // starts true as 1, not as -1
    SHORT syncTimeout_ = 60;
};
