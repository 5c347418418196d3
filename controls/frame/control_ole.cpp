// Embedding: the OLE object, in-place activation with the control's own
// window, the view object, the data object and quick activation.
#include <mutex>
#include <vector>

#include "frame/control.h"

namespace frame {
namespace {

constexpr LONG kHimetricPerInch = 2540;

LONG PixelsToHimetric(LONG pixels, int dpi) {
    return ::MulDiv(pixels, kHimetricPerInch, dpi);
}

SIZEL PixelsToHimetric(LONG width, LONG height) {
    common::WindowDc screen(nullptr);
    const int dpiX = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    const int dpiY = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return {PixelsToHimetric(width, dpiX), PixelsToHimetric(height, dpiY)};
}

SIZE HimetricToPixels(const SIZEL& size) {
    common::WindowDc screen(nullptr);
    const int dpiX = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    const int dpiY = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return {::MulDiv(size.cx, dpiX, kHimetricPerInch), ::MulDiv(size.cy, dpiY, kHimetricPerInch)};
}

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
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
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

// --- IOleObject ---

HRESULT ControlBase::SetClientSite(IOleClientSite* site) {
    clientSite_ = common::ComPtr<IOleClientSite>(site);
    return S_OK;
}

HRESULT ControlBase::GetClientSite(IOleClientSite** site) {
    return clientSite_.copy_to(site);
}

HRESULT ControlBase::SetHostNames(LPCOLESTR, LPCOLESTR) {
    return S_OK;
}

HRESULT ControlBase::Close(DWORD saveOption) {
    InPlaceDeactivate();
    if (dirty_ && clientSite_ &&
        (saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE)) {
        clientSite_->SaveObject();
    }
    if (oleAdvise_) {
        oleAdvise_->SendOnClose();
    }
    return S_OK;
}

HRESULT ControlBase::SetMoniker(DWORD, IMoniker*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker != nullptr) {
        *moniker = nullptr;
    }
    return E_NOTIMPL;
}
HRESULT ControlBase::InitFromData(IDataObject*, BOOL, DWORD) {
    return E_NOTIMPL;
}
HRESULT ControlBase::GetClipboardData(DWORD, IDataObject** data) {
    if (data != nullptr) {
        *data = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT ControlBase::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) {
    if (site != nullptr && !clientSite_) {
        clientSite_ = common::ComPtr<IOleClientSite>(site);
    }
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
        return InPlaceActivate(verb);
    case OLEIVERB_HIDE:
        UIDeactivate();
        if (window_) {
            ::ShowWindow(window_.get(), SW_HIDE);
        }
        return S_OK;
    case OLEIVERB_PROPERTIES: {
        if (class_.propertyPages.empty()) {
            return OLEOBJ_S_INVALIDVERB;
        }
        IUnknown* self = static_cast<IOleObject*>(this);
        CLSID pages[8];
        ULONG count = 0;
        for (const CLSID& page : class_.propertyPages) {
            if (count < 8) {
                pages[count++] = page;
            }
        }
        HWND owner = nullptr;
        if (inPlaceSite_) {
            inPlaceSite_->GetWindow(&owner);
        }
        return ::OleCreatePropertyFrame(owner, 0, 0, nullptr, 1, &self, count, pages,
                                        LOCALE_USER_DEFAULT, 0, nullptr);
    }
    default:
        return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

HRESULT ControlBase::InPlaceActivate(LONG verb) noexcept {
    if (!clientSite_) {
        return E_UNEXPECTED;
    }
    if (!inPlaceActive_) {
        common::ComPtr<IOleInPlaceSite> site = clientSite_.as<IOleInPlaceSite>();
        if (!site) {
            return E_NOINTERFACE;
        }
        if (site->CanInPlaceActivate() != S_OK) {
            return E_FAIL;
        }
        HRESULT hr = site->OnInPlaceActivate();
        if (FAILED(hr)) {
            return hr;
        }
        inPlaceSite_ = site;
        inPlaceActive_ = true;
        HWND parent = nullptr;
        site->GetWindow(&parent);
        common::ComPtr<IOleInPlaceFrame> frame;
        common::ComPtr<IOleInPlaceUIWindow> document;
        RECT position = {};
        RECT clip = {};
        OLEINPLACEFRAMEINFO frameInfo = {};
        frameInfo.cb = sizeof frameInfo;
        site->GetWindowContext(frame.put(), document.put(), &position, &clip, &frameInfo);
        if (!window_) {
            if (CreateControlWindow(parent, position,
                                    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN) ==
                nullptr) {
                inPlaceActive_ = false;
                inPlaceSite_.reset();
                site->OnInPlaceDeactivate();
                return E_FAIL;
            }
        } else {
            ::SetParent(window_.get(), parent);
            SetObjectRects(&position, &clip);
            ::ShowWindow(window_.get(), SW_SHOW);
        }
    }
    if (verb == OLEIVERB_UIACTIVATE && !uiActive_) {
        uiActive_ = true;
        inPlaceSite_->OnUIActivate();
        if (window_) {
            ::SetFocus(window_.get());
        }
        common::ComPtr<IOleInPlaceFrame> frame;
        common::ComPtr<IOleInPlaceUIWindow> document;
        RECT position = {};
        RECT clip = {};
        OLEINPLACEFRAMEINFO frameInfo = {};
        frameInfo.cb = sizeof frameInfo;
        if (SUCCEEDED(inPlaceSite_->GetWindowContext(frame.put(), document.put(), &position, &clip,
                                                     &frameInfo)) &&
            frame) {
            frame->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
            if (document) {
                document->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
            }
            frame->SetBorderSpace(nullptr);
        }
    }
    return S_OK;
}

HRESULT ControlBase::EnumVerbs(IEnumOLEVERB** verbs) {
    return ::OleRegEnumVerbs(*class_.clsid, verbs);
}
HRESULT ControlBase::Update() {
    return S_OK;
}
HRESULT ControlBase::IsUpToDate() {
    return S_OK;
}

HRESULT ControlBase::GetUserClassID(CLSID* clsid) {
    if (clsid == nullptr) {
        return E_POINTER;
    }
    *clsid = *class_.clsid;
    return S_OK;
}

HRESULT ControlBase::GetUserType(DWORD form, LPOLESTR* type) {
    return ::OleRegGetUserType(*class_.clsid, form, type);
}

HRESULT ControlBase::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    if (size == nullptr) {
        return E_POINTER;
    }
    extent_ = *size;
    SetDirty(true);
    FireViewChange();
    return S_OK;
}

HRESULT ControlBase::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    if (size == nullptr) {
        return E_POINTER;
    }
    *size = extent_;
    return S_OK;
}

HRESULT ControlBase::Advise(IAdviseSink* sink, DWORD* connection) {
    if (!oleAdvise_) {
        HRESULT hr = ::CreateOleAdviseHolder(oleAdvise_.put());
        if (FAILED(hr)) {
            return hr;
        }
    }
    return oleAdvise_->Advise(sink, connection);
}

HRESULT ControlBase::Unadvise(DWORD connection) {
    return oleAdvise_ ? oleAdvise_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT ControlBase::EnumAdvise(IEnumSTATDATA** advise) {
    if (advise == nullptr) {
        return E_POINTER;
    }
    *advise = nullptr;
    return oleAdvise_ ? oleAdvise_->EnumAdvise(advise) : S_OK;
}

HRESULT ControlBase::GetMiscStatus(DWORD, DWORD* status) {
    if (status == nullptr) {
        return E_POINTER;
    }
    *status = class_.miscStatus;
    return S_OK;
}

HRESULT ControlBase::SetColorScheme(LOGPALETTE*) {
    return E_NOTIMPL;
}

// --- IOleInPlaceObject, IOleInPlaceActiveObject ---

HRESULT ControlBase::GetWindow(HWND* window) {
    if (window == nullptr) {
        return E_POINTER;
    }
    *window = window_.get();
    return window_ ? S_OK : E_FAIL;
}

HRESULT ControlBase::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

HRESULT ControlBase::InPlaceDeactivate() {
    if (!inPlaceActive_) {
        return S_OK;
    }
    UIDeactivate();
    inPlaceActive_ = false;
    window_.reset();
    common::ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
    if (site) {
        site->OnInPlaceDeactivate();
    }
    return S_OK;
}

HRESULT ControlBase::UIDeactivate() {
    if (!uiActive_) {
        return S_OK;
    }
    uiActive_ = false;
    if (inPlaceSite_) {
        common::ComPtr<IOleInPlaceFrame> frame;
        common::ComPtr<IOleInPlaceUIWindow> document;
        RECT position = {};
        RECT clip = {};
        OLEINPLACEFRAMEINFO frameInfo = {};
        frameInfo.cb = sizeof frameInfo;
        if (SUCCEEDED(inPlaceSite_->GetWindowContext(frame.put(), document.put(), &position, &clip,
                                                     &frameInfo))) {
            if (document) {
                document->SetActiveObject(nullptr, nullptr);
            }
            if (frame) {
                frame->SetActiveObject(nullptr, nullptr);
            }
        }
        inPlaceSite_->OnUIDeactivate(FALSE);
    }
    return S_OK;
}

HRESULT ControlBase::SetObjectRects(LPCRECT position, LPCRECT) {
    if (position == nullptr) {
        return E_POINTER;
    }
    const LONG width = position->right - position->left;
    const LONG height = position->bottom - position->top;
    extent_ = PixelsToHimetric(width, height);
    if (window_) {
        ::SetWindowPos(window_.get(), nullptr, position->left, position->top, width, height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return S_OK;
}

HRESULT ControlBase::ReactivateAndUndo() {
    return INPLACE_E_NOTUNDOABLE;
}
HRESULT ControlBase::TranslateAccelerator(LPMSG) {
    return S_FALSE;
}
HRESULT ControlBase::OnFrameWindowActivate(BOOL) {
    return S_OK;
}
HRESULT ControlBase::OnDocWindowActivate(BOOL) {
    return S_OK;
}
HRESULT ControlBase::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) {
    return S_OK;
}
HRESULT ControlBase::EnableModeless(BOOL) {
    return S_OK;
}

// --- IOleControl ---

HRESULT ControlBase::GetControlInfo(CONTROLINFO* info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    // No mnemonics.
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT ControlBase::OnMnemonic(MSG*) {
    return S_OK;
}
HRESULT ControlBase::OnAmbientPropertyChange(DISPID) {
    FireViewChange();
    return S_OK;
}
HRESULT ControlBase::FreezeEvents(BOOL freeze) {
    freezeCount_ += freeze ? 1 : (freezeCount_ > 0 ? -1 : 0);
    return S_OK;
}

// --- IViewObject, IViewObject2, IViewObjectEx ---

HRESULT ControlBase::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                          LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    if (dc == nullptr) {
        return E_INVALIDARG;
    }
    RECT area = {};
    if (bounds != nullptr) {
        area = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    } else if (window_) {
        ::GetClientRect(window_.get(), &area);
    } else {
        return E_INVALIDARG;
    }
    try {
        OnDraw(dc, area);
    } catch (...) {
        return E_FAIL;
    }
    return S_OK;
}

HRESULT ControlBase::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** palette) {
    if (palette != nullptr) {
        *palette = nullptr;
    }
    return S_FALSE; // no particular colours
}

HRESULT ControlBase::Freeze(DWORD, LONG, void*, DWORD*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::Unfreeze(DWORD) {
    return E_NOTIMPL;
}

HRESULT ControlBase::SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* sink) {
    viewAspects_ = aspects;
    viewAdvf_ = advf;
    viewSink_ = common::ComPtr<IAdviseSink>(sink);
    return S_OK;
}

HRESULT ControlBase::GetAdvise(DWORD* aspects, DWORD* advf, IAdviseSink** sink) {
    if (aspects != nullptr) {
        *aspects = viewAspects_;
    }
    if (advf != nullptr) {
        *advf = viewAdvf_;
    }
    if (sink != nullptr) {
        viewSink_.copy_to(sink);
    }
    return S_OK;
}

HRESULT ControlBase::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

HRESULT ControlBase::GetRect(DWORD aspect, LPRECTL rect) {
    if (rect == nullptr) {
        return E_POINTER;
    }
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    *rect = {0, 0, extent_.cx, extent_.cy};
    return S_OK;
}

HRESULT ControlBase::GetViewStatus(DWORD* status) {
    if (status == nullptr) {
        return E_POINTER;
    }
    *status = VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND;
    return S_OK;
}

HRESULT ControlBase::QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT point, LONG, DWORD* hit) {
    if (bounds == nullptr || hit == nullptr) {
        return E_POINTER;
    }
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    *hit = ::PtInRect(bounds, point) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

HRESULT ControlBase::QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT rect, LONG, DWORD* hit) {
    if (bounds == nullptr || rect == nullptr || hit == nullptr) {
        return E_POINTER;
    }
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    RECT overlap;
    *hit = ::IntersectRect(&overlap, bounds, rect) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

HRESULT ControlBase::GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) {
    return E_NOTIMPL;
}

// --- IDataObject ---

HRESULT ControlBase::QueryGetData(FORMATETC* format) {
    if (format == nullptr) {
        return E_POINTER;
    }
    if (format->cfFormat != CF_METAFILEPICT || (format->tymed & TYMED_MFPICT) == 0) {
        return DV_E_FORMATETC;
    }
    return format->dwAspect == DVASPECT_CONTENT ? S_OK : DV_E_DVASPECT;
}

HRESULT ControlBase::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (medium == nullptr) {
        return E_POINTER;
    }
    HRESULT hr = QueryGetData(format);
    if (FAILED(hr)) {
        return hr;
    }
    HDC dc = ::CreateMetaFileW(nullptr);
    if (dc == nullptr) {
        return E_OUTOFMEMORY;
    }
    const SIZE pixels = HimetricToPixels(extent_);
    ::SetMapMode(dc, MM_ANISOTROPIC);
    ::SetWindowOrgEx(dc, 0, 0, nullptr);
    ::SetWindowExtEx(dc, pixels.cx, pixels.cy, nullptr);
    const RECT area = {0, 0, pixels.cx, pixels.cy};
    try {
        OnDraw(dc, area);
    } catch (...) {
    }
    HMETAFILE metafile = ::CloseMetaFile(dc);
    if (metafile == nullptr) {
        return E_OUTOFMEMORY;
    }
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
    if (memory == nullptr) {
        ::DeleteMetaFile(metafile);
        return E_OUTOFMEMORY;
    }
    auto* picture = static_cast<METAFILEPICT*>(::GlobalLock(memory));
    picture->mm = MM_ANISOTROPIC;
    picture->xExt = extent_.cx;
    picture->yExt = extent_.cy;
    picture->hMF = metafile;
    ::GlobalUnlock(memory);
    medium->tymed = TYMED_MFPICT;
    medium->hMetaFilePict = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT ControlBase::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return E_NOTIMPL;
}

HRESULT ControlBase::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out != nullptr) {
        out->ptd = nullptr;
    }
    return DATA_S_SAMEFORMATETC;
}

HRESULT ControlBase::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}

HRESULT ControlBase::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
    return ::OleRegEnumFormatEtc(*class_.clsid, direction, formats);
}

HRESULT ControlBase::DAdvise(FORMATETC* format, DWORD advf, IAdviseSink* sink, DWORD* connection) {
    if (!dataAdvise_) {
        HRESULT hr = ::CreateDataAdviseHolder(dataAdvise_.put());
        if (FAILED(hr)) {
            return hr;
        }
    }
    return dataAdvise_->Advise(static_cast<IDataObject*>(this), format, advf, sink, connection);
}

HRESULT ControlBase::DUnadvise(DWORD connection) {
    return dataAdvise_ ? dataAdvise_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT ControlBase::EnumDAdvise(IEnumSTATDATA** advise) {
    if (advise == nullptr) {
        return E_POINTER;
    }
    *advise = nullptr;
    return dataAdvise_ ? dataAdvise_->EnumAdvise(advise) : S_OK;
}

// --- IQuickActivate ---

HRESULT ControlBase::QuickActivate(QACONTAINER* container, QACONTROL* control) {
    if (container == nullptr || control == nullptr) {
        return E_POINTER;
    }
    if (container->cbSize < sizeof(QACONTAINER) || control->cbSize < sizeof(QACONTROL)) {
        return E_INVALIDARG;
    }
    SetClientSite(container->pClientSite);
    if (container->pAdviseSink != nullptr) {
        SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
    }
    control->dwMiscStatus = class_.miscStatus;
    GetViewStatus(&control->dwViewStatus);
    control->dwEventCookie = 0;
    control->dwPropNotifyCookie = 0;
    control->dwPointerActivationPolicy = 0;
    if (container->pPropertyNotifySink != nullptr) {
        control->dwPropNotifyCookie = propertyNotify_.Connect(container->pPropertyNotifySink);
    }
    if (container->pUnkEventSink != nullptr && events_) {
        control->dwEventCookie = events_->Connect(container->pUnkEventSink);
    }
    return S_OK;
}

HRESULT ControlBase::SetContentExtent(LPSIZEL size) {
    return SetExtent(DVASPECT_CONTENT, size);
}
HRESULT ControlBase::GetContentExtent(LPSIZEL size) {
    return GetExtent(DVASPECT_CONTENT, size);
}

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
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace frame
