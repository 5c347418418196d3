#include "ras_dial.h"

#include "dial_texts.h"
#include "frame/extent.h"

namespace {

constexpr DISPID kDispidSyncDial = 6;
constexpr DISPID kDispidSyncTimeout = 8;

// Events
constexpr DISPID kEventError = 0;
constexpr DISPID kEventProgress = 1;
constexpr DISPID kEventConnected = 2;

constexpr DWORD kAnyInput = 0x7F; // every kind of input wakes the wait
constexpr DWORD kHangUpRoom = 10; // connections looked through when hanging up by name

const frame::Property kProperties[] = {
    {L"SyncDial", kDispidSyncDial, true},
    {L"SyncTimeout", kDispidSyncTimeout, true},
};

const wchar_t kConnecting[] = L"Connecting...";
const wchar_t kConnectionFailed[] = L"Connection failed!";
const wchar_t kDisconnecting[] = L"Disconnecting...";
const wchar_t kConnectionIdle[] = L"Connection idle.";
const wchar_t kInvalidEntryName[] = L"Invalid EntryName.";
const wchar_t kDialTimeout[] = L"[900] Dial timeout.";

std::wstring_view TextOf(BSTR value) {
    return {value != nullptr ? value : L"", ::SysStringLen(value)};
}

} // namespace

const frame::ControlClass& RASDial::Class() {
    static const frame::ControlClass cls = {
        {&CLSID_RASDial, &IID_IRASDial, &DIID__IRASDialEvents},
        L"DialvoraRASDial",
        frame::kMiscStatusInvisibleControl,
        kProperties,
        {},
    };
    return cls;
}

std::span<const frame::Message<RASDial>> RASDial::Messages() {
    static const frame::Message<RASDial> table[] = {
        {WM_RASDIALEVENT, &RASDial::OnDialEvent},
    };
    return table;
}

RASDial::RASDial() {
    SIZEL extent = frame::ExtentOfPixels(28, 28);
    SetExtent(DVASPECT_CONTENT, &extent);
    SetDirty(false);
}

// ---- Events -----------------------------------------------------------------

void RASDial::FireText(DISPID id, const std::wstring& text) {
    common::UniqueBstr message(text);
    VARIANT argument;
    argument.vt = VT_BSTR;
    argument.bstrVal = message.get();
    FireEvent(id, {argument});
}

void RASDial::Fail(const std::wstring& errorText) {
    errorText_ = errorText;
    FireText(kEventError, errorText_);
    FireText(kEventProgress, kConnectionFailed);
}

void RASDial::ReleaseCompletion() {
    if (completion_) {
        ::SetEvent(completion_.get());
        completion_.reset();
    }
}

void RASDial::HangUpOwn() {
    if (connection_ != 0) {
        RasHangUp(connection_);
        connection_ = 0;
    }
}

// ---- Dialling ---------------------------------------------------------------

HRESULT RASDial::Dial(BSTR EntryName, BSTR User, BSTR Password, BSTR Domain) {
    const std::wstring entryName(TextOf(EntryName));
    if (entryName.empty()) {
        return E_INVALIDARG;
    }
    // The script's handlers may let the control go while it dials.
    common::ComPtr<IRASDial> keep(this);
    HangUpOwn();
    completion_.reset();

    RASDIALPARAMS params = {};
    params.dwSize = sizeof(params);
    RasCopyField(params.szEntryName, entryName);
    BOOL passwordStored = FALSE;
    if (RasGetEntryDialParams(nullptr, &params, &passwordStored) != ERROR_SUCCESS) {
        Fail(kInvalidEntryName);
        return S_OK;
    }
    // What the script gives is dialled, even where it is empty.
    RasCopyField(params.szUserName, TextOf(User));
    RasCopyField(params.szPassword, TextOf(Password));
    RasCopyField(params.szDomain, TextOf(Domain));

    errorText_.clear();
    FireText(kEventProgress, kConnecting);
    lastEntry_ = entryName;
    dialled_ = true;

    completion_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HWND notifier = Window() != nullptr ? Window() : CreateHiddenWindow();
    const DWORD result =
        RasDial(nullptr, nullptr, &params, RAS_NOTIFIER_WINDOW, notifier, &connection_);
    if (result != ERROR_SUCCESS) {
        HangUpOwn();
        Fail(dialvora::FailureText(result, dialvora::ErrorCodeText(result)));
        return S_OK; // the event stays until the next dial
    }
    if (syncDial_ == 0) {
        return S_OK;
    }
    // Seconds as the script gave them, sign and all.
    const DWORD timeoutMs = static_cast<DWORD>(static_cast<LONG>(syncTimeout_) * 1000);
    if (WaitForCompletion(timeoutMs) == WAIT_TIMEOUT) {
        HangUpOwn();
        Fail(kDialTimeout);
    }
    completion_.reset();
    return S_OK;
}

DWORD RASDial::WaitForCompletion(DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    DWORD remaining = timeoutMs;
    for (;;) {
        if (!completion_) {
            return WAIT_OBJECT_0; // the notification handler ended the dial
        }
        HANDLE event = completion_.get();
        const DWORD result = ::MsgWaitForMultipleObjectsEx(1, &event, remaining, kAnyInput, 0);
        if (result != WAIT_OBJECT_0 + 1) {
            return result;
        }
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        if (!completion_) {
            return WAIT_OBJECT_0;
        }
        if (timeoutMs == INFINITE) {
            continue;
        }
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs) {
            return WAIT_TIMEOUT;
        }
        remaining = timeoutMs - elapsed;
    }
}

LRESULT RASDial::OnDialEvent(WPARAM wParam, LPARAM lParam, bool&) {
    common::ComPtr<IRASDial> keep(this);
    const DWORD state = static_cast<DWORD>(wParam);
    const DWORD error = static_cast<DWORD>(lParam);
    if (error != 0) {
        errorText_ = dialvora::FailureText(error, dialvora::ErrorCodeText(error));
        FireText(kEventError, errorText_);
        FireText(kEventProgress, kConnectionFailed);
        HangUpOwn();
        ReleaseCompletion();
        return 0;
    }
    FireText(kEventProgress, dialvora::StateText(state));
    if (state == RASCS_Connected) {
        ReleaseCompletion();
        FireEvent(kEventConnected, {});
    }
    return 0;
}

HRESULT RASDial::Hangup(BSTR EntryName) {
    common::ComPtr<IRASDial> keep(this);
    const std::wstring_view name = TextOf(EntryName);
    if (!name.empty() && (!dialled_ || name != lastEntry_)) {
        RASCONN list[kHangUpRoom] = {};
        list[0].dwSize = sizeof(RASCONN);
        DWORD bytes = sizeof(list);
        DWORD count = 0;
        if (RasEnumConnections(list, &bytes, &count) != ERROR_SUCCESS) {
            count = 0;
        }
        for (DWORD i = 0; i < count && i < kHangUpRoom; ++i) {
            if (RasFieldText(list[i].szEntryName) != name) {
                continue;
            }
            const HRASCONN found = list[i].hrasconn;
            FireText(kEventProgress, kDisconnecting);
            RasHangUp(found);
            // Only the control's own connection is its to forget.
            if (found != 0 && found == connection_) {
                connection_ = 0;
                ReleaseCompletion();
            }
            FireText(kEventProgress, kConnectionIdle);
            return S_OK;
        }
        return S_OK;
    }
    if (connection_ != 0) {
        FireText(kEventProgress, kDisconnecting);
        HangUpOwn();
        ReleaseCompletion();
        FireText(kEventProgress, kConnectionIdle);
    }
    return S_OK;
}

// ---- Properties -------------------------------------------------------------

HRESULT RASDial::get_Handle(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    if (!UserMode()) {
        return E_FAIL;
    }
    *pVal = static_cast<LONG>(connection_);
    return S_OK;
}

HRESULT RASDial::get_Error(BSTR* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = ::SysAllocStringLen(errorText_.data(), static_cast<UINT>(errorText_.size()));
    return *pVal != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT RASDial::get_ConnectState(RD_CONNSTATE* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    if (connection_ == 0) {
        *pVal = rasNoConnection;
        return S_OK;
    }
    RASCONNSTATUS status = {};
    status.dwSize = sizeof(status);
    if (RasGetConnectStatus(connection_, &status) != ERROR_SUCCESS) {
        *pVal = rasStatusError;
        return S_OK;
    }
    // The platform's own code: its paused and final states are not the
    // enumeration's members of those names.
    *pVal = static_cast<RD_CONNSTATE>(status.rasconnstate);
    return S_OK;
}

HRESULT RASDial::get_SyncDial(VARIANT_BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = syncDial_;
    return S_OK;
}

HRESULT RASDial::put_SyncDial(VARIANT_BOOL newVal) {
    return PutProperty(kDispidSyncDial, [&] {
        syncDial_ = newVal;
        return S_OK;
    });
}

HRESULT RASDial::get_SyncTimeout(SHORT* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = syncTimeout_;
    return S_OK;
}

HRESULT RASDial::put_SyncTimeout(SHORT newVal) {
    return PutProperty(kDispidSyncTimeout, [&] {
        syncTimeout_ = newVal;
        return S_OK;
    });
}
