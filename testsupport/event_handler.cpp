#include "testsupport/event_handler.h"

#include <ocidl.h>

namespace testsupport {

common::ComPtr<EventHandler> EventHandler::Create(const IID& iid, Handler handler) {
    return common::ComPtr<EventHandler>(new EventHandler(iid, std::move(handler)));
}

SinkConnection EventHandler::Connect(IUnknown* source) {
    common::ComPtr<IConnectionPointContainer> points;
    HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, points.put_void());
    if (FAILED(hr)) {
        return SinkConnection(nullptr, 0, hr);
    }
    common::ComPtr<IConnectionPoint> point;
    hr = points->FindConnectionPoint(iid_, point.put());
    if (FAILED(hr)) {
        return SinkConnection(nullptr, 0, hr);
    }
    DWORD cookie = 0;
    hr = point->Advise(static_cast<IDispatch*>(this), &cookie);
    if (FAILED(hr)) {
        return SinkConnection(nullptr, 0, hr);
    }
    return SinkConnection(std::move(point), cookie, hr);
}

VARIANT* EventHandler::ByRefArgument(DISPPARAMS& params, UINT index) {
    if (index >= params.cArgs) {
        return nullptr;
    }
    VARIANT& argument = params.rgvarg[params.cArgs - 1 - index];
    return argument.vt == (VT_BYREF | VT_VARIANT) ? argument.pvarVal : nullptr;
}

HRESULT EventHandler::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == iid_) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG EventHandler::AddRef() {
    return ::InterlockedIncrement(&refs_);
}

ULONG EventHandler::Release() {
    LONG left = ::InterlockedDecrement(&refs_);
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT EventHandler::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}
HRESULT EventHandler::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    *info = nullptr;
    return E_NOTIMPL;
}
HRESULT EventHandler::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT EventHandler::Invoke(DISPID id, REFIID, LCID locale, WORD flags, DISPPARAMS* params,
                             VARIANT*, EXCEPINFO*, UINT*) {
    calls_.push_back({id, locale, flags});
    if (handler_ && params != nullptr) {
        handler_(id, *params);
    }
    return S_OK;
}

} // namespace testsupport
