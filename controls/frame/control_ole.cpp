// Embedding: the OLE object, in-place activation, the control interface and
// quick activation.
#include "frame/control.h"
#include "units.h"

namespace frame {

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
        HWND owner = nullptr;
        if (inPlaceSite_) {
            inPlaceSite_->GetWindow(&owner);
        }
        return ::OleCreatePropertyFrame(
            owner, 0, 0, nullptr, 1, &self, static_cast<ULONG>(class_.propertyPages.size()),
            const_cast<CLSID*>(class_.propertyPages.data()), LOCALE_USER_DEFAULT, 0, nullptr);
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
            const DWORD shown = ShownAtRunTime() ? WS_VISIBLE : 0;
            if (CreateControlWindow(parent, position,
                                    WS_CHILD | shown | WS_CLIPSIBLINGS | WS_CLIPCHILDREN) ==
                nullptr) {
                inPlaceActive_ = false;
                inPlaceSite_.reset();
                site->OnInPlaceDeactivate();
                return E_FAIL;
            }
        } else {
            // A window made before activation (a hidden popup) becomes the site's child.
            const LONG_PTR style = ::GetWindowLongPtrW(window_.get(), GWL_STYLE);
            ::SetWindowLongPtrW(window_.get(), GWL_STYLE,
                                (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD |
                                    WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
            ::SetParent(window_.get(), parent);
            SetObjectRects(&position, &clip);
            ::ShowWindow(window_.get(), ShownAtRunTime() ? SW_SHOW : SW_HIDE);
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
HRESULT ControlBase::OnAmbientPropertyChange(DISPID id) {
    if (window_ && inPlaceActive_ && (id == DISPID_AMBIENT_USERMODE || id == DISPID_UNKNOWN)) {
        ::ShowWindow(window_.get(), ShownAtRunTime() ? SW_SHOWNA : SW_HIDE);
    }
    FireViewChange();
    return S_OK;
}

bool ControlBase::ShownAtRunTime() const noexcept {
    // A control invisible at run time shows only in a designer.
    return (class_.miscStatus & OLEMISC_INVISIBLEATRUNTIME) == 0 || !UserMode();
}
HRESULT ControlBase::FreezeEvents(BOOL freeze) {
    freezeCount_ += freeze ? 1 : (freezeCount_ > 0 ? -1 : 0);
    return S_OK;
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
    if (container->pUnkEventSink != nullptr && EventPoint() != nullptr) {
        control->dwEventCookie = EventPoint()->Connect(container->pUnkEventSink);
    }
    return S_OK;
}

HRESULT ControlBase::SetContentExtent(LPSIZEL size) {
    return SetExtent(DVASPECT_CONTENT, size);
}
HRESULT ControlBase::GetContentExtent(LPSIZEL size) {
    return GetExtent(DVASPECT_CONTENT, size);
}

} // namespace frame
