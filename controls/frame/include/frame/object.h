// A programmable object: a dual interface served from the type library,
// error information, class information and a connection point for its
// event interface. Controls build on the same base (frame/control.h).
//
//   class Meter final : public frame::Object<Meter, IMeter> {
//   public:
//       static const frame::ObjectClass& Class();
//       HRESULT STDMETHODCALLTYPE get_Reading(long* value) override;
//   };
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "frame/connection_point.h"
#include "frame/dispatch.h"
#include "frame/error_info.h"
#include "frame/module.h"

namespace frame {

struct ObjectClass {
    const CLSID* clsid;
    const IID* dual;   // the default interface
    const IID* events; // the default source interface; nullptr for none
};

class ObjectBase : public ISupportErrorInfo,
                   public IProvideClassInfo2,
                   public IConnectionPointContainer {
public:
    explicit ObjectBase(const ObjectClass& cls);
    ObjectBase(const ObjectBase&) = delete;
    ObjectBase& operator=(const ObjectBase&) = delete;
    virtual ~ObjectBase();

    HRESULT FinalConstruct() noexcept { return S_OK; }

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;
    // IProvideClassInfo, IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;
    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

protected:
    // Fires an event of the default source interface to every sink, in
    // connection order. The arguments are in the event's own order, borrowed.
    void FireEvent(DISPID id, std::initializer_list<VARIANT> args,
                   LCID locale = LOCALE_USER_DEFAULT) noexcept;

    // Sets the script's error information for this class and its interface.
    HRESULT ReportError(HRESULT hr, const wchar_t* description) noexcept {
        return frame::ReportError(*objectClass_.clsid, *objectClass_.dual, hr, description);
    }

    // Runs while the object is still whole, before it is deleted.
    virtual void OnFinalRelease() {}

    // --- For the frame ---
    HRESULT QueryObject(REFIID iid, void** object, IDispatch* dual) noexcept;
    ULONG AddRefObject() noexcept { return ::InterlockedIncrement(&refs_); }
    ULONG ReleaseObject() noexcept;
    virtual IDispatch* Dispatch() noexcept = 0;
    // The event interface's connection point; null for a class without events.
    ConnectionPoint* EventPoint() noexcept { return events_.get(); }
    // A further connection point after the event interface's (owned by the caller).
    void AddConnectionPoint(ConnectionPoint* point);
    // Frame resources that go after OnFinalRelease.
    virtual void ReleaseFrameResources() noexcept {}

private:
    const ObjectClass& objectClass_;
    ModuleLock lock_;
    LONG refs_ = 0;
    std::unique_ptr<ConnectionPoint> events_;
    std::vector<ConnectionPoint*> points_; // in the order they are offered
};

// IDispatch of a dual interface, from the module's type library.
template <typename Dual> class DualDispatch : public Dual {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        return DispatchTypeInfo(__uuidof(Dual), index, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        return DispatchGetIDsOfNames(__uuidof(Dual), riid, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override {
        return DispatchInvoke(__uuidof(Dual), static_cast<Dual*>(this), id, riid, flags, params,
                              result, exception, argError);
    }
};

template <typename Derived, typename Dual>
class Object : public ObjectBase, public DualDispatch<Dual> {
public:
    Object() : ObjectBase(Derived::Class()) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return QueryObject(iid, object, static_cast<Dual*>(this));
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefObject(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseObject(); }

protected:
    IDispatch* Dispatch() noexcept override { return static_cast<Dual*>(this); }
};

} // namespace frame
