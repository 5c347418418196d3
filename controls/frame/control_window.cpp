// The control's own window, its message table, and windows of private
// copies of system classes.
#include <mutex>
#include <vector>

#include "frame/control.h"

namespace frame {
namespace {

// The window classes this module registered. When COM unloads the module
// they go with it: a later load must not find them pointing into the old image.
class RegisteredClasses {
public:
    RegisteredClasses() = default;
    RegisteredClasses(const RegisteredClasses&) = delete;
    RegisteredClasses& operator=(const RegisteredClasses&) = delete;
    ~RegisteredClasses() {
        for (ATOM atom : atoms_) {
            ::UnregisterClassW(MAKEINTATOM(atom), module::Instance());
        }
    }
    void Add(ATOM atom) noexcept {
        try {
            std::lock_guard<std::mutex> hold(lock_);
            atoms_.push_back(atom);
        } catch (...) {
        }
    }

private:
    std::mutex lock_;
    std::vector<ATOM> atoms_;
};

RegisteredClasses g_registered;

} // namespace

// --- The control's window ---

bool ControlBase::RegisterWindowClass() noexcept {
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(module::Instance(), class_.windowClass, &existing)) {
        return true;
    }
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = &ControlBase::WindowProc;
    wc.hInstance = module::Instance();
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = class_.windowClass;
    const ATOM atom = ::RegisterClassExW(&wc);
    if (atom != 0) {
        g_registered.Add(atom);
        return true;
    }
    return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND ControlBase::CreateControlWindow(HWND parent, const RECT& position, DWORD style) noexcept {
    if (!RegisterWindowClass()) {
        return nullptr;
    }
    // WM_NCCREATE takes ownership into window_ before WM_CREATE reaches the table.
    ::CreateWindowExW(0, class_.windowClass, nullptr, style, position.left, position.top,
                      position.right - position.left, position.bottom - position.top, parent,
                      nullptr, module::Instance(), this);
    return window_.get();
}

HWND ControlBase::CreateHiddenWindow() noexcept {
    if (window_) {
        return window_.get();
    }
    const RECT none = {0, 0, 0, 0};
    return CreateControlWindow(nullptr, none, WS_POPUP);
}

LRESULT CALLBACK ControlBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* control = static_cast<ControlBase*>(create->lpCreateParams);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
        control->window_.reset(window);
    }
    auto* control = reinterpret_cast<ControlBase*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (control == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    try {
        if (!control->HandleMessage(message, wParam, lParam, result)) {
            result = control->DefaultMessage(message, wParam, lParam);
        }
    } catch (...) {
        result = 0;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        // The window is gone already: let go of it without destroying it again.
        if (control->window_.get() == window) {
            control->window_.release();
        }
    }
    return result;
}

LRESULT ControlBase::DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    HWND window = window_.get();
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        if (dc != nullptr) {
            RECT client;
            ::GetClientRect(window, &client);
            try {
                OnDraw(dc, client);
            } catch (...) {
            }
            ::EndPaint(window, &paint);
        }
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void ControlBase::OnDraw(HDC, const RECT&) {}

// --- Windows of a copied system class ---

namespace {

struct ContainedClass {
    ATOM atom;
    WNDPROC baseProc;
};
std::mutex g_containedLock;
std::vector<ContainedClass> g_contained;

WNDPROC BaseProcOf(HWND window) noexcept {
    const ATOM atom = static_cast<ATOM>(::GetClassWord(window, GCW_ATOM));
    std::lock_guard<std::mutex> hold(g_containedLock);
    for (const ContainedClass& c : g_contained) {
        if (c.atom == atom) {
            return c.baseProc;
        }
    }
    return nullptr;
}

// The copied class's procedure: the base class does the work.
LRESULT CALLBACK ContainedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC base = BaseProcOf(window);
    return base != nullptr ? ::CallWindowProcW(base, window, message, wParam, lParam)
                           : ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

bool RegisterContainedWindowClass(const wchar_t* base, const wchar_t* name) noexcept {
    try {
        std::lock_guard<std::mutex> hold(g_containedLock);
        WNDCLASSEXW existing = {};
        existing.cbSize = sizeof existing;
        if (::GetClassInfoExW(module::Instance(), name, &existing)) {
            return true;
        }
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        if (!::GetClassInfoExW(nullptr, base, &wc)) {
            return false;
        }
        // Same class data, this module's procedure in front of the base's one,
        // and private to this module.
        const WNDPROC baseProc = wc.lpfnWndProc;
        wc.lpfnWndProc = &ContainedWindowProc;
        wc.hInstance = module::Instance();
        wc.lpszClassName = name;
        wc.style &= ~CS_GLOBALCLASS;
        const ATOM atom = ::RegisterClassExW(&wc);
        if (atom == 0) {
            return false;
        }
        g_contained.push_back({atom, baseProc});
        g_registered.Add(atom);
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace frame
