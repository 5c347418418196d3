// The frame of a control: the embedding interfaces a container expects,
// in-place activation with the control's own window, the property-put
// protocol, persistence from the property table, and connection points.
//
// A control class reads like this:
//
//   class Gauge final : public frame::Control<Gauge, IGauge> {
//   public:
//       static const frame::ControlClass& Class();              // identity, property table
//       static std::span<const frame::Message<Gauge>> Messages(); // window message table
//       HRESULT STDMETHODCALLTYPE get_Level(long* value) override; // its members
//       ...
//   };
#pragma once

#include <windows.h>
#include <objsafe.h>
#include <ocidl.h>
#include <olectl.h>

#include <initializer_list>
#include <memory>
#include <span>

#include "common/com.h"
#include "common/handle.h"
#include "frame/connection_point.h"
#include "frame/dispatch.h"
#include "frame/error_info.h"
#include "frame/module.h"
#include "frame/object.h"
#include "frame/persistence.h"

namespace frame {

// MiscStatus of a visible control, and of one that is invisible at run time.
inline constexpr DWORD kMiscStatusControl = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                                            OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                                            OLEMISC_SETCLIENTSITEFIRST;
inline constexpr DWORD kMiscStatusInvisibleControl =
    kMiscStatusControl | OLEMISC_INVISIBLEATRUNTIME;

// What the frame knows of a control class: its identity, then the rest.
struct ControlClass : ObjectClass {
    const wchar_t* windowClass; // class name of the control's own window
    DWORD miscStatus;
    std::span<const Property> properties; // in persistence order
    std::span<const CLSID> propertyPages;
    bool objectSafety = false;  // offers IObjectSafety, safe for scripting from creation
    bool persistsExtent = true; // saves and loads "_cx" and "_cy" before its properties
};

// One entry of a control's window message table. A handler that leaves
// `handled` false passes the message on to the frame's default handling.
template <typename T> struct Message {
    UINT message;
    LRESULT (T::*handler)(WPARAM wParam, LPARAM lParam, bool& handled);
};

// Registers (once per module) a window class named `name` as a copy of the
// system class `base`, private to this module; windows of it behave as the
// base class does. Returns false when the base class does not exist.
bool RegisterContainedWindowClass(const wchar_t* base, const wchar_t* name) noexcept;

class ControlBase : public ObjectBase,
                    public IOleObject,
                    public IOleInPlaceObjectWindowless,
                    public IOleInPlaceActiveObject,
                    public IOleControl,
                    public IViewObjectEx,
                    public IDataObject,
                    public IQuickActivate,
                    public ISpecifyPropertyPages,
                    public IPersistStreamInit,
                    public IPersistStorage,
                    public IPersistPropertyBag,
                    public IObjectSafety {
public:
    explicit ControlBase(const ControlClass& cls);
    ControlBase(const ControlBase&) = delete;
    ControlBase& operator=(const ControlBase&) = delete;
    ~ControlBase() override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override;
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND parent,
                                     LPCRECT rect) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE IsUpToDate() override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override;

    // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override;
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override;

    // IOleInPlaceObjectWindowless: answered for containers that ask, though
    // the control always has a window of its own (control_windowless.cpp).
    HRESULT STDMETHODCALLTYPE OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                              LRESULT* result) override;
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget** target) override;

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG*) override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

    // IViewObject, IViewObject2, IViewObjectEx
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc,
                                   LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                   ULONG_PTR) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                          LOGPALETTE**) override;
    HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override;
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override;
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* sink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* advf, IAdviseSink** sink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override;
    HRESULT STDMETHODCALLTYPE GetRect(DWORD aspect, LPRECTL rect) override;
    HRESULT STDMETHODCALLTYPE GetViewStatus(DWORD* status) override;
    HRESULT STDMETHODCALLTYPE QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT point, LONG,
                                            DWORD* hit) override;
    HRESULT STDMETHODCALLTYPE QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT rect, LONG,
                                           DWORD* hit) override;
    HRESULT STDMETHODCALLTYPE GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*,
                                               LPSIZEL) override;

    // IDataObject: the control's picture as a metafile
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD advf, IAdviseSink* sink,
                                      DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advise) override;

    // IQuickActivate
    HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* container, QACONTROL* control) override;
    HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL size) override;
    HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL size) override;

    // ISpecifyPropertyPages
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) override;

    // IPersist, IPersistStreamInit, IPersistStorage, IPersistPropertyBag
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
    HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Load(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL sameAsLoad) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) override;
    HRESULT STDMETHODCALLTYPE HandsOffStorage() override;
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

    // IObjectSafety
    HRESULT STDMETHODCALLTYPE GetInterfaceSafetyOptions(REFIID iid, DWORD* supported,
                                                        DWORD* enabled) override;
    HRESULT STDMETHODCALLTYPE SetInterfaceSafetyOptions(REFIID iid, DWORD mask,
                                                        DWORD enabled) override;

protected:
    // --- For the control class ---

    // The control's own window; null while it has none.
    HWND Window() const noexcept { return window_.get(); }
    // The container's UserMode ambient property; true without a container.
    bool UserMode() const noexcept;
    bool InPlaceActive() const noexcept { return inPlaceActive_; }
    bool UIActive() const noexcept { return uiActive_; }
    // UI activation as a click or the focus asks for it.
    HRESULT UIActivate() noexcept { return InPlaceActivate(OLEIVERB_UIACTIVATE); }
    // Creates the control's own window when it has none: a hidden popup with
    // no parent, no title and an empty rectangle. Null on failure.
    HWND CreateHiddenWindow() noexcept;

    // The property-put protocol: asks the container (a refusal returns
    // S_FALSE and changes nothing), runs `store`, then marks the control
    // dirty, tells the container the property changed and asks for a redraw.
    template <typename Store> HRESULT PutProperty(DISPID id, Store&& store) {
        if (RequestEdit(id) == S_FALSE) {
            return S_FALSE;
        }
        HRESULT hr = store();
        if (SUCCEEDED(hr)) {
            PropertyChanged(id);
        }
        return hr;
    }
    HRESULT RequestEdit(DISPID id) noexcept;
    void PropertyChanged(DISPID id) noexcept;
    void SetDirty(bool dirty) noexcept { dirty_ = dirty; }
    void FireViewChange() noexcept;

    // Paints the control (window painting and the view object).
    virtual void OnDraw(HDC dc, const RECT& bounds);

    // --- For Control<> ---
    HRESULT Query(REFIID iid, void** object, IDispatch* dual) noexcept;
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    void ReleaseFrameResources() noexcept override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool RegisterWindowClass() noexcept;
    HWND CreateControlWindow(HWND parent, const RECT& position, DWORD style) noexcept;
    LRESULT DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    HRESULT InPlaceActivate(LONG verb) noexcept;
    bool ShownAtRunTime() const noexcept;
    HRESULT SaveTo(PropertyWriter& writer, bool clearDirty) noexcept;
    HRESULT LoadFrom(PropertyReader& reader) noexcept;

    const ControlClass& class_;
    common::ComPtr<IOleClientSite> clientSite_;
    common::ComPtr<IOleInPlaceSite> inPlaceSite_;
    common::ComPtr<IOleAdviseHolder> oleAdvise_;
    common::ComPtr<IDataAdviseHolder> dataAdvise_;
    common::ComPtr<IAdviseSink> viewSink_;
    DWORD viewAspects_ = 0;
    DWORD viewAdvf_ = 0;
    common::UniqueWindow window_;
    bool inPlaceActive_ = false;
    bool uiActive_ = false;
    bool dirty_ = false;
    SIZEL extent_ = {5080, 2540}; // HIMETRIC: two inches by one
    LONG freezeCount_ = 0;
    DWORD safetyEnabled_ = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
    ConnectionPoint propertyNotify_;
};

// Binds a control class to its dual interface and its message table.
template <typename Derived, typename Dual>
class Control : public ControlBase, public DualDispatch<Dual> {
public:
    Control() : ControlBase(Derived::Class()) {}
    // For a class that serves more than one coclass.
    explicit Control(const ControlClass& cls) : ControlBase(cls) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return Query(iid, object, static_cast<Dual*>(this));
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefObject(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseObject(); }

protected:
    IDispatch* Dispatch() noexcept override { return static_cast<Dual*>(this); }

    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        for (const Message<Derived>& entry : Derived::Messages()) {
            if (entry.message == message) {
                bool handled = true;
                result = (static_cast<Derived*>(this)->*entry.handler)(wParam, lParam, handled);
                if (handled) {
                    return true;
                }
            }
        }
        return false;
    }
};

} // namespace frame
