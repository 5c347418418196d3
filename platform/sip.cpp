// The soft input panel manager. It lives in the calling process: the SIP
// window is made on the first thread that needs it, the current input method
// is loaded into that window through IInputMethod, and everything the input
// method is told happens on that window's thread.
#include <windows.h>
#include <objbase.h>

#include <mutex>
#include <string>

#include "common/handle.h"
#include "input_method.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

constexpr wchar_t kConfigKey[] = L"Software\\TerminalSimulator\\SIP";
constexpr DWORD kDefaultWidth = 240; // the terminal's screen width
constexpr DWORD kDefaultHeight = 80;

// Runs a manager operation on the SIP window's thread.
constexpr UINT kRunOnSipThread = WM_APP + 1;

struct Operation {
    virtual void Run() = 0;
};

template <typename F> struct OperationOf final : Operation {
    explicit OperationOf(F& f) : f_(f) {}
    void Run() override { f_(); }
    F& f_;
};

// What the manager keeps. The input method is held by a plain pointer: it is
// released on the SIP window's thread when the window goes, never from a
// destructor at process exit, when its server may be gone already.
struct Manager {
    std::mutex lock; // the fields below, for callers on other threads
    DWORD flags = 0;
    RECT sipRect = {};
    bool rectSet = false;
    CLSID selected = GUID_NULL; // GUID_NULL: the default input method
    HWND window = nullptr;
    DWORD windowThread = 0;
    bool comStarted = false;             // the manager started COM on the window's thread
    IInputMethod* inputMethod = nullptr; // touched on the window's thread only
    CLSID loaded = GUID_NULL;
};

Manager& State() {
    static Manager* manager = new Manager(); // never destroyed: see Manager
    return *manager;
}

DWORD ConfigDword(const wchar_t* name, DWORD fallback) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kConfigKey, name, RRF_RT_REG_DWORD, nullptr, &value,
                       &size) != ERROR_SUCCESS) {
        return fallback;
    }
    return value;
}

bool ConfigClsid(const wchar_t* name, CLSID* clsid) {
    wchar_t text[64] = {};
    DWORD size = sizeof(text);
    return ::RegGetValueW(HKEY_LOCAL_MACHINE, kConfigKey, name, RRF_RT_REG_SZ, nullptr, text,
                          &size) == ERROR_SUCCESS &&
           SUCCEEDED(::CLSIDFromString(text, clsid));
}

RECT WorkArea() {
    RECT work = {};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) || ::IsRectEmpty(&work)) {
        work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    }
    return work;
}

// The panel sits at the bottom of the work area, at its left edge.
RECT DefaultSipRect() {
    const RECT work = WorkArea();
    const LONG width = static_cast<LONG>(ConfigDword(L"Width", kDefaultWidth));
    const LONG height = static_cast<LONG>(ConfigDword(L"Height", kDefaultHeight));
    return {work.left, work.bottom - height, work.left + width, work.bottom};
}

RECT SipRect(Manager& m) {
    if (!m.rectSet) {
        m.sipRect = DefaultSipRect();
        m.rectSet = true;
    }
    return m.sipRect;
}

SIPINFO Snapshot(Manager& m) {
    std::lock_guard<std::mutex> hold(m.lock);
    SIPINFO info = {};
    info.cbSize = SIPINFO_SIZE;
    info.fdwFlags = m.flags;
    info.rcSipRect = SipRect(m);
    info.rcVisibleDesktop = WorkArea();
    if ((m.flags & SIPF_ON) != 0 && info.rcSipRect.top < info.rcVisibleDesktop.bottom) {
        info.rcVisibleDesktop.bottom = info.rcSipRect.top;
    }
    return info;
}

bool Shown(Manager& m) {
    std::lock_guard<std::mutex> hold(m.lock);
    return (m.flags & SIPF_ON) != 0;
}

// ---- Installed input methods --------------------------------------------------

bool IsInputMethodKey(HKEY classes, const wchar_t* name) {
    const std::wstring path = std::wstring(name) + L"\\IsSIPInputMethod";
    wchar_t value[8] = {};
    DWORD size = sizeof(value);
    return ::RegGetValueW(classes, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) ==
               ERROR_SUCCESS &&
           std::wstring(value) == L"1";
}

// Calls `found` for each installed input method until it returns false.
template <typename Found> int EnumerateInputMethods(Found found) {
    common::UniqueKey classes;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID", 0, KEY_READ, classes.put()) != ERROR_SUCCESS) {
        return 0;
    }
    int count = 0;
    for (DWORD index = 0;; ++index) {
        wchar_t name[64] = {};
        DWORD length = 64;
        LONG result = ::RegEnumKeyExW(classes.get(), index, name, &length, nullptr, nullptr,
                                      nullptr, nullptr);
        if (result == ERROR_MORE_DATA) {
            continue; // no class identifier is that long
        }
        if (result != ERROR_SUCCESS) {
            break;
        }
        IMENUMINFO info = {};
        if (!IsInputMethodKey(classes.get(), name) ||
            FAILED(::CLSIDFromString(name, &info.clsid))) {
            continue;
        }
        DWORD size = sizeof(info.szName) - sizeof(WCHAR);
        ::RegGetValueW(classes.get(), name, nullptr, RRF_RT_REG_SZ, nullptr, info.szName, &size);
        info.szName[MAX_PATH - 1] = L'\0';
        ++count;
        if (!found(info)) {
            break;
        }
    }
    return count;
}

bool Installed(const CLSID& clsid) {
    bool installed = false;
    EnumerateInputMethods([&](const IMENUMINFO& info) {
        installed = info.clsid == clsid;
        return !installed;
    });
    return installed;
}

// The configured default when it is installed, else the first one installed.
bool DefaultInputMethod(CLSID* clsid) {
    CLSID configured = GUID_NULL;
    if (ConfigClsid(L"DefaultIM", &configured) && Installed(configured)) {
        *clsid = configured;
        return true;
    }
    bool found = false;
    EnumerateInputMethods([&](const IMENUMINFO& info) {
        *clsid = info.clsid;
        found = true;
        return false;
    });
    return found;
}

bool SelectedInputMethod(Manager& m, CLSID* clsid) {
    CLSID selected = GUID_NULL;
    {
        std::lock_guard<std::mutex> hold(m.lock);
        selected = m.selected;
    }
    if (selected == GUID_NULL) {
        return DefaultInputMethod(clsid);
    }
    *clsid = selected;
    return true;
}

// ---- The SIP window and the loaded input method -------------------------------

void MoveSipWindow(Manager& m, const RECT& rect) {
    {
        std::lock_guard<std::mutex> hold(m.lock);
        m.sipRect = rect;
        m.rectSet = true;
    }
    if (m.window != nullptr) {
        ::SetWindowPos(m.window, nullptr, rect.left, rect.top, rect.right - rect.left,
                       rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TellSipInfo(Manager& m) {
    if (m.inputMethod != nullptr) {
        SIPINFO info = Snapshot(m);
        m.inputMethod->ReceiveSipInfo(&info);
    }
}

// An input method's wish for the panel's place.
void ApplyImInfo(Manager& m, const IMINFO& info) {
    const RECT current = Snapshot(m).rcSipRect;
    if (!::IsRectEmpty(&info.rcSipRect) && !::EqualRect(&info.rcSipRect, &current)) {
        MoveSipWindow(m, info.rcSipRect);
    }
}

// What the input method types with: characters go to the window that has the
// focus on the SIP window's thread, as the keyboard's would.
class Callback final : public IIMCallback {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == IID_IIMCallback) {
            *object = static_cast<IIMCallback*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // One callback for the life of the process.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE SetImInfo(IMINFO* info) override {
        if (info == nullptr || info->cbSize != sizeof(IMINFO)) {
            return E_INVALIDARG;
        }
        const RECT before = Snapshot(State()).rcSipRect;
        ApplyImInfo(State(), *info);
        const RECT after = Snapshot(State()).rcSipRect;
        if (!::EqualRect(&before, &after)) {
            TellSipInfo(State());
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SendVirtualKey(BYTE virtualKey, DWORD flags) override {
        HWND focus = ::GetFocus();
        if (focus == nullptr) {
            return E_FAIL;
        }
        const bool up = (flags & KEYEVENTF_KEYUP) != 0;
        ::PostMessageW(focus, up ? WM_KEYUP : WM_KEYDOWN, virtualKey, up ? 0xC0000001 : 1);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SendCharEvents(UINT, UINT, UINT count, UINT*,
                                             UINT* characters) override {
        if (count != 0 && characters == nullptr) {
            return E_INVALIDARG;
        }
        HWND focus = ::GetFocus();
        if (focus == nullptr) {
            return E_FAIL;
        }
        for (UINT i = 0; i < count; ++i) {
            ::PostMessageW(focus, WM_CHAR, characters[i], 1);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SendString(BSTR text, DWORD length) override {
        if (length != 0 && text == nullptr) {
            return E_INVALIDARG;
        }
        HWND focus = ::GetFocus();
        if (focus == nullptr) {
            return E_FAIL;
        }
        // A length that runs past the text's end stops at its terminator.
        for (DWORD i = 0; i < length && text[i] != L'\0'; ++i) {
            ::PostMessageW(focus, WM_CHAR, text[i], 1);
        }
        return S_OK;
    }
};

Callback g_callback;

void UnloadInputMethod(Manager& m) {
    IInputMethod* im = m.inputMethod;
    if (im == nullptr) {
        return;
    }
    if (Shown(m)) {
        im->Hiding();
    }
    im->Deselect();
    m.inputMethod = nullptr;
    m.loaded = GUID_NULL;
    im->Release();
}

// The platform's order: Select, RegisterCallback, GetInfo, ReceiveSipInfo,
// and Showing when the panel is up.
HRESULT LoadInputMethod(Manager& m, const CLSID& clsid) {
    IInputMethod* im = nullptr;
    HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IInputMethod,
                                    reinterpret_cast<void**>(&im));
    if (FAILED(hr)) {
        return hr;
    }
    UnloadInputMethod(m);
    hr = im->Select(m.window);
    if (FAILED(hr)) {
        im->Release();
        return hr;
    }
    m.inputMethod = im;
    m.loaded = clsid;
    im->RegisterCallback(&g_callback);
    IMINFO info = {};
    info.cbSize = sizeof(IMINFO);
    if (SUCCEEDED(im->GetInfo(&info))) {
        ApplyImInfo(m, info);
    }
    TellSipInfo(m);
    if (Shown(m)) {
        im->Showing();
    }
    return S_OK;
}

LRESULT CALLBACK SipWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEACTIVATE:
        // Tapping the panel leaves the focus where the text goes.
        return MA_NOACTIVATE;
    case WM_CONTEXTMENU:
        // The panel's own options, as the SIP button's menu offers them.
        if (State().inputMethod != nullptr) {
            State().inputMethod->UserOptionsDlg(window);
        }
        return 0;
    case kRunOnSipThread:
        reinterpret_cast<Operation*>(lParam)->Run();
        return 0;
    case WM_DESTROY:
        UnloadInputMethod(State());
        break;
    case WM_NCDESTROY: {
        Manager& m = State();
        if (m.window == window) {
            m.window = nullptr;
            m.windowThread = 0;
            if (m.comStarted) {
                m.comStarted = false;
                ::CoUninitialize();
            }
        }
        break;
    }
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

HINSTANCE Instance() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

bool RegisterSipClass() {
    WNDCLASSW existing = {};
    if (::GetClassInfoW(Instance(), SIP_WINDOW_CLASS, &existing)) {
        return true;
    }
    WNDCLASSW cls = {};
    cls.lpfnWndProc = SipWindowProc;
    cls.hInstance = Instance();
    cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = SIP_WINDOW_CLASS;
    return ::RegisterClassW(&cls) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Makes the SIP window on this thread when there is none, with the current
// input method in it unless the caller brings one of its own.
bool EnsureSipWindow(Manager& m, bool loadSelected = true) {
    if (m.window != nullptr && ::IsWindow(m.window)) {
        return true;
    }
    m.window = nullptr; // its thread has ended
    if (!RegisterSipClass()) {
        return false;
    }
    const RECT rect = Snapshot(m).rcSipRect;
    HWND window = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                    SIP_WINDOW_CLASS, L"SIP", WS_POPUP | WS_CLIPCHILDREN, rect.left,
                                    rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                    nullptr, nullptr, Instance(), nullptr);
    if (window == nullptr) {
        return false;
    }
    m.window = window;
    m.windowThread = ::GetCurrentThreadId();
    // Input methods are apartment objects of the SIP window's thread.
    HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m.comStarted = SUCCEEDED(com);
    CLSID clsid = GUID_NULL;
    if (loadSelected && SelectedInputMethod(m, &clsid)) {
        LoadInputMethod(m, clsid);
    }
    return true;
}

// Runs `f` on the SIP window's thread (on this one when there is no window).
template <typename F> void OnSipThread(F f) {
    Manager& m = State();
    if (m.window != nullptr && ::IsWindow(m.window) && m.windowThread != ::GetCurrentThreadId()) {
        OperationOf<F> operation(f);
        ::SendMessageW(m.window, kRunOnSipThread, 0, reinterpret_cast<LPARAM>(&operation));
        return;
    }
    f();
}

void SetShown(Manager& m, bool on) {
    if (on) {
        if (!EnsureSipWindow(m)) {
            return;
        }
        if (!Shown(m)) {
            {
                std::lock_guard<std::mutex> hold(m.lock);
                m.flags |= SIPF_ON;
            }
            if (m.inputMethod != nullptr) {
                m.inputMethod->Showing();
            }
        }
        ::SetWindowPos(m.window, HWND_TOPMOST, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        return;
    }
    if (Shown(m)) {
        if (m.inputMethod != nullptr) {
            m.inputMethod->Hiding();
        }
        std::lock_guard<std::mutex> hold(m.lock);
        m.flags &= ~SIPF_ON;
    }
    if (m.window != nullptr) {
        ::ShowWindow(m.window, SW_HIDE);
    }
}

bool ValidRecord(const SIPINFO* info) {
    if (info == nullptr || info->cbSize != SIPINFO_SIZE) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

} // namespace

CEPLATFORM_API DWORD WINAPI SipStatus(void) {
    return ConfigDword(L"Available", 1) != 0 ? SIP_STATUS_AVAILABLE : SIP_STATUS_UNAVAILABLE;
}

CEPLATFORM_API BOOL WINAPI SipGetInfo(SIPINFO* info) {
    if (!ValidRecord(info)) {
        return FALSE;
    }
    *info = Snapshot(State());
    return TRUE;
}

CEPLATFORM_API BOOL WINAPI SipSetInfo(SIPINFO* info) {
    if (!ValidRecord(info)) {
        return FALSE;
    }
    const SIPINFO wanted = *info;
    OnSipThread([&] {
        Manager& m = State();
        {
            std::lock_guard<std::mutex> hold(m.lock);
            m.flags = (wanted.fdwFlags & ~SIPF_ON) | (m.flags & SIPF_ON);
        }
        const RECT current = Snapshot(m).rcSipRect;
        if (!::IsRectEmpty(&wanted.rcSipRect) && !::EqualRect(&wanted.rcSipRect, &current)) {
            MoveSipWindow(m, wanted.rcSipRect);
            TellSipInfo(m);
        }
        SetShown(m, (wanted.fdwFlags & SIPF_ON) != 0);
    });
    return TRUE;
}

CEPLATFORM_API int WINAPI SipEnumIM(IMENUMPROC proc) {
    if (proc == nullptr) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return EnumerateInputMethods([&](const IMENUMINFO& info) {
        IMENUMINFO copy = info; // the callback may write into its record
        return proc(&copy) != 0;
    });
}

CEPLATFORM_API BOOL WINAPI SipGetCurrentIM(CLSID* clsid) {
    if (clsid == nullptr) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Manager& m = State();
    CLSID current = GUID_NULL;
    bool known = false;
    OnSipThread([&] {
        if (m.inputMethod != nullptr) {
            current = m.loaded;
            known = true;
        }
    });
    if (!known && !SelectedInputMethod(m, &current)) {
        ::SetLastError(ERROR_NOT_FOUND);
        return FALSE;
    }
    *clsid = current;
    return TRUE;
}

CEPLATFORM_API BOOL WINAPI SipSetCurrentIM(CLSID* clsid) {
    if (clsid == nullptr) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const CLSID wanted = *clsid;
    CLSID resolved = wanted;
    if (wanted == GUID_NULL ? !DefaultInputMethod(&resolved) : !Installed(wanted)) {
        ::SetLastError(ERROR_NOT_FOUND);
        return FALSE;
    }
    HRESULT hr = E_FAIL;
    OnSipThread([&] {
        Manager& m = State();
        if (!EnsureSipWindow(m, false)) {
            return;
        }
        hr = m.inputMethod != nullptr && m.loaded == resolved ? S_OK : LoadInputMethod(m, resolved);
        if (SUCCEEDED(hr)) {
            std::lock_guard<std::mutex> hold(m.lock);
            m.selected = wanted;
        }
    });
    if (FAILED(hr)) {
        ::SetLastError(static_cast<DWORD>(hr));
        return FALSE;
    }
    return TRUE;
}

CEPLATFORM_API BOOL WINAPI SHSipPreference(HWND window, SIPSTATE state) {
    if (!::IsWindow(window)) {
        ::SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    switch (state) {
    case SIP_UP:
    case SIP_INPUTDIALOG:
        OnSipThread([] { SetShown(State(), true); });
        return Shown(State()) ? TRUE : FALSE;
    case SIP_DOWN:
    case SIP_FORCEDOWN:
        OnSipThread([] { SetShown(State(), false); });
        return TRUE;
    case SIP_UNCHANGED:
        return TRUE;
    default:
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
}

CEPLATFORM_API BOOL WINAPI SHSipInfo(UINT action, UINT, PVOID data, UINT) {
    switch (action) {
    case SPI_GETSIPINFO:
        return SipGetInfo(static_cast<SIPINFO*>(data));
    case SPI_SETSIPINFO:
        return SipSetInfo(static_cast<SIPINFO*>(data));
    case SPI_GETCURRENTIM:
        return SipGetCurrentIM(static_cast<CLSID*>(data));
    case SPI_SETCURRENTIM:
        return SipSetCurrentIM(static_cast<CLSID*>(data));
    default:
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
}

CEPLATFORM_API void WINAPI TerminalResetSip(void) {
    Manager& m = State();
    OnSipThread([&] {
        if (m.window != nullptr && ::IsWindow(m.window)) {
            ::DestroyWindow(m.window);
        }
        m.window = nullptr;
    });
    std::lock_guard<std::mutex> hold(m.lock);
    m.flags = 0;
    m.selected = GUID_NULL;
    m.rectSet = false;
}

CEPLATFORM_API HWND WINAPI TerminalSipWindow(void) {
    HWND window = State().window;
    return window != nullptr && ::IsWindow(window) ? window : nullptr;
}
