#include "testsupport/ole_container.h"

#include <olectl.h>

namespace testsupport {
namespace {

const wchar_t kFormClass[] = L"TestsupportOleForm";
const RECT kInitialSite = {10, 10, 210, 40};

HWND CreateForm() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kFormClass;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    ::RegisterClassExW(&wc);
    HWND form = ::CreateWindowExW(0, kFormClass, L"Form", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                                  0, 400, 300, nullptr, nullptr, wc.hInstance, nullptr);
    if (form != nullptr) {
        ::ShowWindow(form, SW_SHOWNOACTIVATE);
    }
    return form;
}

unsigned long g_eventSequence = 0;

} // namespace

// The container's side of one control: every site interface in one object.
class ContainerSite final : public IOleClientSite,
                            public IOleInPlaceSite,
                            public IOleInPlaceFrame,
                            public IOleControlSite,
                            public IDispatch,
                            public IPropertyNotifySink {
public:
    explicit ContainerSite(HWND form) : form_(form) {}

    bool userMode = true;
    bool refuseEdits = false;
    bool inPlaceActive = false;
    RECT position = kInitialSite;
    std::vector<DISPID> requested;
    std::vector<DISPID> changed;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        IUnknown* found = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
            found = static_cast<IOleClientSite*>(this);
        } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
            found = static_cast<IOleInPlaceSite*>(this);
        } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
            found = static_cast<IOleInPlaceFrame*>(this);
        } else if (iid == IID_IOleControlSite) {
            found = static_cast<IOleControlSite*>(this);
        } else if (iid == IID_IDispatch) {
            found = static_cast<IDispatch*>(this);
        } else if (iid == IID_IPropertyNotifySink) {
            found = static_cast<IPropertyNotifySink*>(this);
        }
        *object = found;
        if (found == nullptr) {
            return E_NOINTERFACE;
        }
        found->AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ::InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = ::InterlockedDecrement(&refs_);
        if (left == 0) {
            delete this;
        }
        return left;
    }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
        *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        *window = form_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return S_OK; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override {
        inPlaceActive = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                               LPRECT pos, LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO info) override {
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *doc = nullptr;
        *pos = position;
        *clip = position;
        info->fMDIApp = FALSE;
        info->hwndFrame = form_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
        inPlaceActive = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT rect) override {
        position = *rect;
        return S_OK;
    }

    // IOleInPlaceUIWindow, IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override {
        return INPLACE_E_NOTOOLSPACE;
    }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IOleControlSite
    HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** control) override {
        *control = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TransformCoords(POINTL*, POINTF*, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFocus(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override { return E_NOTIMPL; }

    // IDispatch: the ambient properties
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        if ((flags & DISPATCH_PROPERTYGET) == 0 || result == nullptr) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (id == DISPID_AMBIENT_USERMODE) {
            result->vt = VT_BOOL;
            result->boolVal = userMode ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    // IPropertyNotifySink
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override {
        changed.push_back(id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID id) override {
        requested.push_back(id);
        return refuseEdits ? S_FALSE : S_OK;
    }

private:
    ~ContainerSite() = default;

    HWND form_;
    LONG refs_ = 0;
};

OleContainer::OleContainer()
    : form_(CreateForm()), formWindow_(form_.get()), site_(new ContainerSite(formWindow_)) {}

OleContainer::OleContainer(HWND form, const RECT& position)
    : formWindow_(form), site_(new ContainerSite(form)) {
    site_->position = position;
}

OleContainer::~OleContainer() {
    Close();
}

HRESULT OleContainer::Create(REFCLSID clsid) {
    common::ComPtr<IUnknown> control;
    HRESULT hr =
        ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, control.put_void());
    return FAILED(hr) ? hr : Attach(control.get());
}

HRESULT OleContainer::Attach(IUnknown* control) {
    Close();
    control_ = common::ComPtr<IUnknown>(control);
    common::ComPtr<IOleObject> object = control_.as<IOleObject>();
    if (!object) {
        return E_NOINTERFACE;
    }
    HRESULT hr = object->SetClientSite(static_cast<IOleClientSite*>(site_.get()));
    if (FAILED(hr)) {
        return hr;
    }
    common::ComPtr<IConnectionPointContainer> points = control_.as<IConnectionPointContainer>();
    common::ComPtr<IConnectionPoint> notify;
    if (points && SUCCEEDED(points->FindConnectionPoint(IID_IPropertyNotifySink, notify.put()))) {
        notify->Advise(static_cast<IPropertyNotifySink*>(site_.get()), &notifyCookie_);
    }
    return S_OK;
}

HRESULT OleContainer::CreateAndActivate(REFCLSID clsid) {
    HRESULT hr = Create(clsid);
    if (FAILED(hr)) {
        return hr;
    }
    common::ComPtr<IPersistStreamInit> persist = control_.as<IPersistStreamInit>();
    if (persist) {
        hr = persist->InitNew();
        if (FAILED(hr)) {
            return hr;
        }
    }
    return Activate();
}

HRESULT OleContainer::Activate() {
    common::ComPtr<IOleObject> object = control_.as<IOleObject>();
    if (!object) {
        return E_NOINTERFACE;
    }
    return object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr,
                          static_cast<IOleClientSite*>(site_.get()), 0, formWindow_,
                          &site_->position);
}

HRESULT OleContainer::Resize(const RECT& position) {
    site_->position = position;
    common::ComPtr<IOleInPlaceObject> inPlace = control_.as<IOleInPlaceObject>();
    if (!inPlace) {
        return E_NOINTERFACE;
    }
    return inPlace->SetObjectRects(&position, &position);
}

void OleContainer::Close() {
    if (!control_) {
        return;
    }
    if (notifyCookie_ != 0) {
        common::ComPtr<IConnectionPointContainer> points = control_.as<IConnectionPointContainer>();
        common::ComPtr<IConnectionPoint> notify;
        if (points &&
            SUCCEEDED(points->FindConnectionPoint(IID_IPropertyNotifySink, notify.put()))) {
            notify->Unadvise(notifyCookie_);
        }
        notifyCookie_ = 0;
    }
    common::ComPtr<IOleObject> object = control_.as<IOleObject>();
    if (object) {
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
    }
    control_.reset();
}

HWND OleContainer::ControlWindow() const {
    common::ComPtr<IOleInPlaceObject> inPlace = control_.as<IOleInPlaceObject>();
    HWND window = nullptr;
    if (inPlace && FAILED(inPlace->GetWindow(&window))) {
        window = nullptr;
    }
    return window;
}

RECT OleContainer::SiteRect() const {
    return site_->position;
}

void OleContainer::SetUserMode(bool userMode) {
    site_->userMode = userMode;
    common::ComPtr<IOleControl> control = control_.as<IOleControl>();
    if (control) {
        control->OnAmbientPropertyChange(DISPID_AMBIENT_USERMODE);
    }
}

void OleContainer::SetRefuseEdits(bool refuse) {
    site_->refuseEdits = refuse;
}
const std::vector<DISPID>& OleContainer::RequestedEdits() const {
    return site_->requested;
}
const std::vector<DISPID>& OleContainer::ChangedProperties() const {
    return site_->changed;
}
void OleContainer::ClearNotifications() {
    site_->requested.clear();
    site_->changed.clear();
}
bool OleContainer::InPlaceActive() const {
    return site_->inPlaceActive;
}

// --- EventRecorder ---

common::ComPtr<EventRecorder> EventRecorder::Create(const IID& iid) {
    return common::ComPtr<EventRecorder>(new EventRecorder(iid));
}

HRESULT EventRecorder::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                              EXCEPINFO*, UINT*) {
    RecordedEvent event{id, {}, ++g_eventSequence};
    if (params != nullptr) {
        for (UINT i = 0; i < params->cArgs; ++i) {
            common::UniqueVariant copy;
            ::VariantCopy(copy.get(), &params->rgvarg[i]);
            event.received.push_back(std::move(copy));
        }
    }
    events_.push_back(std::move(event));
    return S_OK;
}

} // namespace testsupport
