// The sink side of a connection point: the plumbing every test sink shares
// (IUnknown, an IDispatch with no type information, connecting), and the
// connection that ends when it goes out of scope.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "common/com.h"

namespace testsupport {

// A sink's connection to a source; disconnects when it goes out of scope.
// It holds the source (through its connection point) while connected.
class SinkConnection {
public:
    SinkConnection() = default;
    SinkConnection(common::ComPtr<IConnectionPoint> point, DWORD cookie, HRESULT result)
        : point_(std::move(point)), cookie_(cookie), result_(result) {}
    SinkConnection(SinkConnection&& other) noexcept
        : point_(std::move(other.point_)), cookie_(other.cookie_), result_(other.result_) {}
    SinkConnection& operator=(SinkConnection&& other) noexcept;
    ~SinkConnection() { Disconnect(); }

    HRESULT result() const noexcept { return result_; }
    HRESULT Disconnect();

private:
    common::ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
    HRESULT result_ = E_FAIL;
};

// A sink for one outgoing dispatch interface; what it does with a call is
// its Invoke.
class EventSink : public IDispatch {
public:
    // Connects to `source` through its connection point for the sink's
    // interface.
    SinkConnection Connect(IUnknown* source);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;

protected:
    explicit EventSink(const IID& iid) : iid_(iid) {}
    virtual ~EventSink() = default;

private:
    IID iid_;
    LONG refs_ = 0;
};

} // namespace testsupport
