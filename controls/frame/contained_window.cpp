// Subclassing of contained windows. The owner and the window's own
// procedure are window properties, so the window keeps working (with its own
// procedure) even when someone subclassed it after us and we could not step
// out of the chain.
#include "frame/contained_window.h"

namespace frame {
namespace {

const wchar_t kOwnerProperty[] = L"FrameContainedOwner";
const wchar_t kOriginalProperty[] = L"FrameContainedProc";

WNDPROC OriginalOf(HWND window) noexcept {
    return reinterpret_cast<WNDPROC>(::GetPropW(window, kOriginalProperty));
}

} // namespace

bool ContainedWindowBase::Subclass(HWND window) noexcept {
    if (window == nullptr || window_ != nullptr ||
        ::GetPropW(window, kOriginalProperty) != nullptr) {
        return false;
    }
    const auto original = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (original == nullptr ||
        !::SetPropW(window, kOriginalProperty, reinterpret_cast<HANDLE>(original)) ||
        !::SetPropW(window, kOwnerProperty, static_cast<HANDLE>(this))) {
        ::RemovePropW(window, kOriginalProperty);
        return false;
    }
    window_ = window;
    original_ = original;
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
    return true;
}

void ContainedWindowBase::Unsubclass() noexcept {
    if (window_ == nullptr) {
        return;
    }
    HWND window = window_;
    window_ = nullptr;
    if (!::IsWindow(window)) {
        return;
    }
    ::RemovePropW(window, kOwnerProperty);
    if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC)) == &Procedure) {
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        ::RemovePropW(window, kOriginalProperty);
    }
}

LRESULT ContainedWindowBase::CallOriginal(UINT message, WPARAM wParam,
                                          LPARAM lParam) const noexcept {
    if (window_ == nullptr || original_ == nullptr) {
        return 0;
    }
    return ::CallWindowProcW(original_, window_, message, wParam, lParam);
}

LRESULT CALLBACK ContainedWindowBase::Procedure(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    const WNDPROC original = OriginalOf(window);
    auto* self = static_cast<ContainedWindowBase*>(::GetPropW(window, kOwnerProperty));
    if (self != nullptr && message != WM_NCDESTROY) {
        LRESULT result = 0;
        bool handled = false;
        try {
            handled = self->Dispatch(message, wParam, lParam, result);
        } catch (...) {
            handled = true;
            result = 0;
        }
        if (handled) {
            return result;
        }
    }
    if (message == WM_NCDESTROY && self != nullptr) {
        self->Unsubclass();
    }
    if (original == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        ::RemovePropW(window, kOriginalProperty);
    }
    return ::CallWindowProcW(original, window, message, wParam, lParam);
}

} // namespace frame
