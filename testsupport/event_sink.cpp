#include "testsupport/event_sink.h"

namespace testsupport {

SinkConnection& SinkConnection::operator=(SinkConnection&& other) noexcept {
    if (this != &other) {
        Disconnect();
        point_ = std::move(other.point_);
        cookie_ = other.cookie_;
        result_ = other.result_;
    }
    return *this;
}

HRESULT SinkConnection::Disconnect() {
    if (!point_) {
        return S_FALSE;
    }
    HRESULT hr = point_->Unadvise(cookie_);
    point_.reset();
    cookie_ = 0;
    return hr;
}

SinkConnection EventSink::Connect(IUnknown* source) {
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

HRESULT EventSink::QueryInterface(REFIID iid, void** object) {
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

ULONG EventSink::AddRef() {
    return ::InterlockedIncrement(&refs_);
}

ULONG EventSink::Release() {
    LONG left = ::InterlockedDecrement(&refs_);
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT EventSink::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    *info = nullptr;
    return E_NOTIMPL;
}

HRESULT EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

} // namespace testsupport
