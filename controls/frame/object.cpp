// Identity, lifetime, error and class information, and connection points of
// every object of the frame.
#include "frame/object.h"

#include "frame/enumerator.h"
#include "frame/registration.h"

namespace frame {

ObjectBase::ObjectBase(const ObjectClass& cls) : objectClass_(cls) {
    if (cls.events != nullptr) {
        events_ = std::make_unique<ConnectionPoint>(this, *cls.events);
        points_.push_back(events_.get());
    }
}

ObjectBase::~ObjectBase() = default;

void ObjectBase::AddConnectionPoint(ConnectionPoint* point) {
    points_.push_back(point);
}

ULONG ObjectBase::ReleaseObject() noexcept {
    LONG left = ::InterlockedDecrement(&refs_);
    if (left == 0) {
        // Keep the object whole while what it holds goes away.
        refs_ = 1;
        try {
            OnFinalRelease();
        } catch (...) {
        }
        ReleaseFrameResources();
        for (ConnectionPoint* point : points_) {
            point->DisconnectAll();
        }
        delete this;
    }
    return left;
}

HRESULT ObjectBase::QueryObject(REFIID iid, void** object, IDispatch* dual) noexcept {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    IUnknown* found = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == *objectClass_.dual) {
        found = dual;
    } else if (iid == IID_ISupportErrorInfo) {
        found = static_cast<ISupportErrorInfo*>(this);
    } else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2) {
        found = static_cast<IProvideClassInfo2*>(this);
    } else if (iid == IID_IConnectionPointContainer && !points_.empty()) {
        found = static_cast<IConnectionPointContainer*>(this);
    }
    if (found == nullptr) {
        return E_NOINTERFACE;
    }
    found->AddRef();
    *object = found;
    return S_OK;
}

void ObjectBase::FireEvent(DISPID id, std::initializer_list<VARIANT> args, LCID locale) noexcept {
    if (events_) {
        events_->FireDispatch(id, args, locale);
    }
}

HRESULT ObjectBase::InterfaceSupportsErrorInfo(REFIID iid) {
    return iid == *objectClass_.dual ? S_OK : S_FALSE;
}

HRESULT ObjectBase::GetClassInfo(ITypeInfo** info) {
    return ModuleTypeInfo(*objectClass_.clsid, info);
}

HRESULT ObjectBase::GetGUID(DWORD kind, GUID* guid) {
    if (guid == nullptr) {
        return E_POINTER;
    }
    *guid = GUID_NULL;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        return E_INVALIDARG;
    }
    if (objectClass_.events == nullptr) {
        return E_FAIL;
    }
    *guid = *objectClass_.events;
    return S_OK;
}

HRESULT ObjectBase::EnumConnectionPoints(IEnumConnectionPoints** points) {
    try {
        std::vector<IConnectionPoint*> list(points_.begin(), points_.end());
        return Enumerator<IEnumConnectionPoints, IConnectionPoint*>::Create(list, 0, points);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ObjectBase::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (point == nullptr) {
        return E_POINTER;
    }
    *point = nullptr;
    for (ConnectionPoint* candidate : points_) {
        if (candidate->Iid() == iid) {
            candidate->AddRef();
            *point = candidate;
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

} // namespace frame
