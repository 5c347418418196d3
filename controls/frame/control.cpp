// The interfaces of a control, the property-put protocol, property pages and
// object safety.
#include "frame/control.h"

#include <vector>

#include "frame/enumerator.h"
#include "frame/registration.h"

namespace frame {

ControlBase::ControlBase(const ControlClass& cls)
    : ObjectBase(cls), class_(cls), propertyNotify_(this, IID_IPropertyNotifySink) {
    AddConnectionPoint(&propertyNotify_);
}

ControlBase::~ControlBase() = default;

void ControlBase::ReleaseFrameResources() noexcept {
    window_.reset();
}

HRESULT ControlBase::Query(REFIID iid, void** object, IDispatch* dual) noexcept {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    IUnknown* found = nullptr;
    if (iid == IID_IOleObject) {
        found = static_cast<IOleObject*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject ||
               iid == IID_IOleInPlaceObjectWindowless) {
        found = static_cast<IOleInPlaceObjectWindowless*>(this);
    } else if (iid == IID_IOleInPlaceActiveObject) {
        found = static_cast<IOleInPlaceActiveObject*>(this);
    } else if (iid == IID_IOleControl) {
        found = static_cast<IOleControl*>(this);
    } else if (iid == IID_IViewObject || iid == IID_IViewObject2 || iid == IID_IViewObjectEx) {
        found = static_cast<IViewObjectEx*>(this);
    } else if (iid == IID_IDataObject) {
        found = static_cast<IDataObject*>(this);
    } else if (iid == IID_IQuickActivate) {
        found = static_cast<IQuickActivate*>(this);
    } else if (iid == IID_ISpecifyPropertyPages) {
        found = static_cast<ISpecifyPropertyPages*>(this);
    } else if (iid == IID_IPersist || iid == IID_IPersistStreamInit) {
        found = static_cast<IPersistStreamInit*>(this);
    } else if (iid == IID_IPersistStorage) {
        found = static_cast<IPersistStorage*>(this);
    } else if (iid == IID_IPersistPropertyBag) {
        found = static_cast<IPersistPropertyBag*>(this);
    } else if (iid == IID_IObjectSafety && class_.objectSafety) {
        found = static_cast<IObjectSafety*>(this);
    }
    if (found == nullptr) {
        return QueryObject(iid, object, dual);
    }
    found->AddRef();
    *object = found;
    return S_OK;
}

bool ControlBase::UserMode() const noexcept {
    if (!clientSite_) {
        return true;
    }
    common::ComPtr<IDispatch> ambient = clientSite_.as<IDispatch>();
    if (!ambient) {
        return true;
    }
    common::UniqueVariant value;
    if (FAILED(GetDispatchProperty(ambient.get(), DISPID_AMBIENT_USERMODE, value.put())) ||
        FAILED(::VariantChangeType(value.get(), value.get(), 0, VT_BOOL))) {
        return true;
    }
    return value->boolVal != VARIANT_FALSE;
}

HRESULT ControlBase::RequestEdit(DISPID id) noexcept {
    try {
        for (const auto& sink : propertyNotify_.Sinks()) {
            if (static_cast<IPropertyNotifySink*>(sink.get())->OnRequestEdit(id) == S_FALSE) {
                return S_FALSE;
            }
        }
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

void ControlBase::PropertyChanged(DISPID id) noexcept {
    SetDirty(true);
    try {
        for (const auto& sink : propertyNotify_.Sinks()) {
            static_cast<IPropertyNotifySink*>(sink.get())->OnChanged(id);
        }
    } catch (...) {
    }
    FireViewChange();
}

void ControlBase::FireViewChange() noexcept {
    if (inPlaceActive_ && window_) {
        ::InvalidateRect(window_.get(), nullptr, TRUE);
    } else if (viewSink_) {
        viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
    }
}

// --- ISpecifyPropertyPages ---

HRESULT ControlBase::GetPages(CAUUID* pages) {
    if (pages == nullptr) {
        return E_POINTER;
    }
    pages->cElems = 0;
    pages->pElems = nullptr;
    if (class_.propertyPages.empty()) {
        return S_OK;
    }
    auto* list = static_cast<GUID*>(::CoTaskMemAlloc(sizeof(GUID) * class_.propertyPages.size()));
    if (list == nullptr) {
        return E_OUTOFMEMORY;
    }
    for (size_t i = 0; i < class_.propertyPages.size(); ++i) {
        list[i] = class_.propertyPages[i];
    }
    pages->cElems = static_cast<ULONG>(class_.propertyPages.size());
    pages->pElems = list;
    return S_OK;
}

// --- IObjectSafety ---

HRESULT ControlBase::GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) {
    if (supported == nullptr || enabled == nullptr) {
        return E_POINTER;
    }
    *supported = 0;
    *enabled = 0;
    common::ComPtr<IUnknown> probe;
    if (FAILED(Dispatch()->QueryInterface(iid, probe.put_void()))) {
        return E_NOINTERFACE;
    }
    *supported = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
    *enabled = safetyEnabled_;
    return S_OK;
}

HRESULT ControlBase::SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) {
    const DWORD supported = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
    common::ComPtr<IUnknown> probe;
    if (FAILED(Dispatch()->QueryInterface(iid, probe.put_void()))) {
        return E_NOINTERFACE;
    }
    if ((mask & ~supported) != 0) {
        return E_FAIL;
    }
    safetyEnabled_ = (safetyEnabled_ & ~mask) | (enabled & mask);
    return S_OK;
}

} // namespace frame
