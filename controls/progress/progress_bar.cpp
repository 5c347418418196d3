#include "progress_bar.h"

#include <commctrl.h>

namespace {

// The progress window's class: a private copy of the system's progress bar.
const wchar_t kProgressClass[] = L"ATL:msctls_progress32";

const wchar_t kVersion[] = L"1.0.0";

constexpr DWORD kFirstWindowStyles = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

// Scrolling values: the look of the bar.
constexpr LONG kSmooth = 0;
constexpr LONG kSegmented = 1;

constexpr BOOL kTrue = -1; // how the script says "true"

} // namespace

const frame::ControlClass& ProgressBar::Class() {
    // No property is saved with the form: only the extent.
    static const frame::ControlClass cls = {
        {&CLSID_ProgressBar, &IID_IProgressBar, &DIID__IProgressBarEvents},
        L"QzpeProgressBar",
        frame::kMiscStatusControl,
        {},
        {},
    };
    return cls;
}

std::span<const frame::Message<ProgressBar>> ProgressBar::Messages() {
    static const frame::Message<ProgressBar> table[] = {
        {WM_CREATE, &ProgressBar::OnCreate},
        {WM_SIZE, &ProgressBar::OnSize},
        {WM_DESTROY, &ProgressBar::OnDestroy},
    };
    return table;
}

bool ProgressBar::CreateProgressWindow(DWORD styles) {
    const INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&classes);
    if (!frame::RegisterContainedWindowClass(PROGRESS_CLASSW, kProgressClass)) {
        return false;
    }
    RECT client = {};
    ::GetClientRect(Window(), &client);
    progress_.reset(::CreateWindowExW(0, kProgressClass, nullptr, styles, 0, 0, client.right,
                                      client.bottom, Window(), nullptr, frame::module::Instance(),
                                      nullptr));
    return progress_.valid();
}

LRESULT ProgressBar::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return progress_ ? ::SendMessageW(progress_.get(), message, wParam, lParam) : 0;
}

LRESULT ProgressBar::OnCreate(WPARAM, LPARAM, bool&) {
    const DWORD look = scrolling_ == kSmooth ? PBS_SMOOTH : 0;
    return CreateProgressWindow(kFirstWindowStyles | look) ? 0 : -1;
}

LRESULT ProgressBar::OnSize(WPARAM, LPARAM lParam, bool&) {
    if (progress_) {
        ::SetWindowPos(progress_.get(), nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return 0;
}

LRESULT ProgressBar::OnDestroy(WPARAM, LPARAM, bool& handled) {
    // The progress window goes with its parent.
    progress_.release();
    handled = false;
    return 0;
}

HRESULT ProgressBar::get_Version(BSTR* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = ::SysAllocString(kVersion);
    return *pVal != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT ProgressBar::get_Visible(BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    // Read back in the setter's own terms: 1 shown, 0 hidden.
    *pVal =
        progress_ && (::GetWindowLongPtrW(progress_.get(), GWL_STYLE) & WS_VISIBLE) != 0 ? 1 : 0;
    return S_OK;
}

HRESULT ProgressBar::put_Visible(BOOL newVal) {
    if (progress_) {
        ::ShowWindow(progress_.get(), newVal == 1 ? SW_SHOW : SW_HIDE);
    }
    return S_OK;
}

HRESULT ProgressBar::SetRange(LONG Min, LONG Max) {
    // The bar's 16-bit range message: each bound keeps its low 16 bits.
    Send(PBM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(Min), static_cast<WORD>(Max)));
    return S_OK;
}

HRESULT ProgressBar::get_Value(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Send(PBM_GETPOS));
    return S_OK;
}

HRESULT ProgressBar::put_Value(LONG newVal) {
    Send(PBM_SETPOS, static_cast<WPARAM>(newVal));
    return S_OK;
}

HRESULT ProgressBar::get_Min(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = min_;
    return S_OK;
}

HRESULT ProgressBar::put_Min(LONG newVal) {
    min_ = newVal;
    return SetRange(min_, max_);
}

HRESULT ProgressBar::get_Max(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = max_;
    return S_OK;
}

HRESULT ProgressBar::put_Max(LONG newVal) {
    max_ = newVal;
    return SetRange(min_, max_);
}

HRESULT ProgressBar::get_Scrolling(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = scrolling_;
    return S_OK;
}

HRESULT ProgressBar::put_Scrolling(LONG newVal) {
    if (newVal != kSmooth && newVal != kSegmented) {
        return S_OK;
    }
    scrolling_ = newVal;
    if (Window() == nullptr) {
        return S_OK; // the window is made with this look when the control is activated
    }
    // The look is a creation style: the bar is made anew, keeping its range
    // and position.
    PBRANGE range = {0, 100};
    LRESULT position = 0;
    if (progress_) {
        Send(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        position = Send(PBM_GETPOS);
        progress_.reset();
    }
    if (CreateProgressWindow(WS_CHILD | WS_VISIBLE | (newVal == kSmooth ? PBS_SMOOTH : 0))) {
        Send(PBM_SETRANGE32, static_cast<WPARAM>(range.iLow), static_cast<LPARAM>(range.iHigh));
        Send(PBM_SETPOS, static_cast<WPARAM>(position));
    }
    return S_OK;
}

HRESULT ProgressBar::get_Hwnd(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    // Window handles keep their meaning in 32 bits.
    *pVal = static_cast<LONG>(reinterpret_cast<LONG_PTR>(progress_.get()));
    return S_OK;
}

HRESULT ProgressBar::get_Border(BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal =
        progress_ && (::GetWindowLongPtrW(progress_.get(), GWL_STYLE) & WS_BORDER) != 0 ? kTrue : 0;
    return S_OK;
}

HRESULT ProgressBar::put_Border(BOOL newVal) {
    if (!progress_) {
        return S_OK;
    }
    const LONG_PTR style = ::GetWindowLongPtrW(progress_.get(), GWL_STYLE);
    const LONG_PTR wanted =
        newVal == kTrue ? (style | WS_BORDER) : (style & ~static_cast<LONG_PTR>(WS_BORDER));
    if (wanted != style) {
        ::SetWindowLongPtrW(progress_.get(), GWL_STYLE, wanted);
        ::SetWindowPos(progress_.get(), nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    return S_OK;
}
