#include "win_hook.h"
#include "script_handles.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

constexpr DISPID kWinMessage = 1;
constexpr LCID kEventLocale = 0x400;

// The live WinHook objects in the order they were made: the newest is the
// active one, which the hook procedure serves.
std::mutex g_lock;
std::vector<WinHook*>& LiveObjects() {
    static auto* objects = new std::vector<WinHook*>(); // outlives every object
    return *objects;
}

VARIANT Long(LONG value) {
    VARIANT v;
    ::VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return v;
}

} // namespace

const frame::ObjectClass& WinHook::Class() {
    static const frame::ObjectClass cls = {&CLSID_WinHook, &IID_IWinHook, &DIID__IWinHookEvents};
    return cls;
}

WinHook::WinHook() {
    std::lock_guard<std::mutex> hold(g_lock);
    LiveObjects().push_back(this);
}

// A window still hooked gets its own procedure back, so the hook procedure
// never reaches an object that is gone.
void WinHook::OnFinalRelease() {
    {
        std::lock_guard<std::mutex> hold(g_lock);
        auto& live = LiveObjects();
        live.erase(std::remove(live.begin(), live.end(), this), live.end());
    }
    for (const Entry& entry : entries_) {
        if (entry.window == nullptr || entry.previous == HookProc) {
            continue;
        }
        if (::IsWindow(entry.window) && reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(
                                            entry.window, GWLP_WNDPROC)) == HookProc) {
            ::SetWindowLongPtrW(entry.window, GWLP_WNDPROC,
                                reinterpret_cast<LONG_PTR>(entry.previous));
        }
    }
    for (Entry& entry : entries_) {
        entry = Entry();
    }
}

HRESULT WinHook::Hook(LONG hWnd, VARIANT_BOOL UseDefaultProc, VARIANT_BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    Entry* free = std::find_if(std::begin(entries_), std::end(entries_),
                               [](const Entry& e) { return e.window == nullptr; });
    if (free == std::end(entries_)) {
        return S_OK;
    }
    HWND window = WindowOf(hWnd);
    ::SetLastError(0);
    auto previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HookProc)));
    if (previous == nullptr) {
        *pVal = VARIANT_FALSE;
        return S_OK;
    }
    free->window = window;
    free->useDefaultProc = UseDefaultProc != VARIANT_FALSE;
    free->previous = previous;
    free->sequence = nextSequence_++;
    *pVal = VARIANT_TRUE;
    return S_OK;
}

HRESULT WinHook::Unhook(LONG hWnd, VARIANT_BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    HWND window = WindowOf(hWnd);
    // A window hooked twice comes off in the reverse order it went on.
    Entry* found = nullptr;
    for (Entry& entry : entries_) {
        if (entry.window == window && (found == nullptr || entry.sequence > found->sequence)) {
            found = &entry;
        }
    }
    if (found == nullptr) {
        return S_OK;
    }
    ::SetLastError(0);
    const LONG_PTR replaced =
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(found->previous));
    if (replaced == 0 && ::GetLastError() != 0) {
        *pVal = VARIANT_FALSE;
        return S_OK;
    }
    *found = Entry();
    *pVal = VARIANT_TRUE;
    return S_OK;
}

HRESULT WinHook::GetFocus(LONG* hWnd) {
    return ReturnFocusWindow(hWnd);
}

LRESULT CALLBACK WinHook::HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WinHook* active = nullptr;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        if (!LiveObjects().empty()) {
            active = LiveObjects().back();
            active->AddRefObject(); // a sink may release it while it is called
        }
    }
    if (active == nullptr) {
        return 0;
    }
    active->FireEvent(kWinMessage,
                      {Long(LongOf(window)), Long(static_cast<LONG>(message)),
                       Long(static_cast<LONG>(lParam)), Long(static_cast<LONG>(wParam))},
                      kEventLocale);
    // An entry whose previous procedure is this one (a window hooked twice)
    // would only lead back here: the window's own procedure is further down.
    LRESULT result = 0;
    for (const Entry& entry : active->entries_) {
        if (entry.window == window && entry.previous != HookProc) {
            if (entry.useDefaultProc) {
                result = ::CallWindowProcW(entry.previous, window, message, wParam, lParam);
            }
            break;
        }
    }
    active->ReleaseObject();
    return result;
}
