#include "form.h"

#include <ocidl.h>
#include <olectl.h>

#include <algorithm>

namespace scripthost {
namespace {

// The terminal's screen.
constexpr int kFormWidth = 240;
constexpr int kFormHeight = 320;
constexpr LONG kMargin = 4;
constexpr LONG kDefaultHeight = 24;
constexpr LONG kListHeight = 120;

// A control's natural height in pixels, from its extent.
LONG ControlHeight(IOleObject* object) {
    SIZEL extent = {};
    if (FAILED(object->GetExtent(DVASPECT_CONTENT, &extent)) || extent.cy <= 0) {
        return kDefaultHeight;
    }
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    const LONG height = ::MulDiv(extent.cy, dpi, 2540);
    return height > 0 && height < kFormHeight ? height : kDefaultHeight;
}

} // namespace

Form::~Form() {
    CloseAll();
}

bool Form::Create(const std::wstring& title, std::function<void()> onClose) {
    onClose_ = std::move(onClose);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Form::WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    ::RegisterClassExW(&wc);
    window_.reset(::CreateWindowExW(
        0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
        CW_USEDEFAULT, kFormWidth, kFormHeight, nullptr, nullptr, wc.hInstance, this));
    if (!window_) {
        return false;
    }
    ::ShowWindow(window_.get(), SW_SHOWNORMAL);
    ::UpdateWindow(window_.get());
    return true;
}

LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<Form*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_CLOSE && form != nullptr) {
        // The host ends the run; the window goes with the form.
        if (form->onClose_) {
            form->onClose_();
        }
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

RECT Form::NextPlace(LONG height) const {
    RECT client = {0, 0, kFormWidth, kFormHeight};
    if (window_) {
        ::GetClientRect(window_.get(), &client);
    }
    LONG top = kMargin;
    for (const Item& item : items_) {
        if (item.position.bottom > item.position.top) {
            top = std::max(top, item.position.bottom + kMargin);
        }
    }
    return RECT{kMargin, top, std::max(client.right - kMargin, kMargin + 1), top + height};
}

HRESULT Form::Site(IUnknown* object) {
    common::ComPtr<IUnknown> identity;
    if (object == nullptr || FAILED(object->QueryInterface(IID_IUnknown, identity.put_void()))) {
        return E_POINTER;
    }
    for (const Item& item : items_) {
        if (item.identity.get() == identity.get()) {
            return S_OK;
        }
    }
    common::ComPtr<IOleObject> control = identity.as<IOleObject>();
    if (!control) {
        return S_FALSE;
    }
    DWORD misc = 0;
    if (FAILED(control->GetMiscStatus(DVASPECT_CONTENT, &misc))) {
        misc = 0;
    }
    const bool invisible = (misc & OLEMISC_INVISIBLEATRUNTIME) != 0;
    Item item;
    item.identity = identity;
    if (!invisible) {
        item.position = NextPlace(ControlHeight(control.get()));
    }
    item.container = std::make_unique<testsupport::OleContainer>(window_.get(), item.position);
    HRESULT hr = item.container->Attach(identity.get());
    if (FAILED(hr)) {
        return hr;
    }
    // A control the script made has not been initialised; one that was
    // refuses a second start, which leaves it as it is.
    if (common::ComPtr<IPersistStreamInit> persist = identity.as<IPersistStreamInit>()) {
        persist->InitNew();
    }
    if (!invisible) {
        hr = item.container->Activate();
        if (FAILED(hr)) {
            item.container->Close();
            return hr;
        }
    }
    items_.push_back(std::move(item));
    return S_OK;
}

HWND Form::AddList() {
    Item item;
    item.position = NextPlace(kListHeight);
    const RECT& p = item.position;
    item.list =
        ::CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", nullptr,
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                          p.left, p.top, p.right - p.left, p.bottom - p.top, window_.get(), nullptr,
                          ::GetModuleHandleW(nullptr), nullptr);
    if (item.list == nullptr) {
        return nullptr;
    }
    ::SendMessageW(item.list, WM_SETFONT,
                   reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    HWND list = item.list;
    items_.push_back(std::move(item));
    return list;
}

void Form::NameList(HWND list, IUnknown* object) {
    for (Item& item : items_) {
        if (item.list == list && object != nullptr) {
            item.identity.reset();
            object->QueryInterface(IID_IUnknown, item.identity.put_void());
        }
    }
}

HRESULT Form::Place(IUnknown* identity, const RECT& position) {
    for (Item& item : items_) {
        if (identity == nullptr || item.identity.get() != identity) {
            continue;
        }
        if (HWND list = item.list; list != nullptr) {
            item.position = position;
            ::MoveWindow(list, position.left, position.top, position.right - position.left,
                         position.bottom - position.top, TRUE);
            return S_OK;
        }
        item.position = position;
        return item.container->Resize(position);
    }
    return E_INVALIDARG;
}

void Form::CloseAll() {
    while (!items_.empty()) {
        Item& item = items_.back();
        if (item.container) {
            item.container->Close();
        }
        items_.pop_back();
    }
}

} // namespace scripthost
