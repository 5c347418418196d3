// One connection point of an object: the sinks of one outgoing interface,
// kept in the order they connected.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <initializer_list>
#include <vector>

#include "common/com.h"

namespace frame {

class ConnectionPoint final : public IConnectionPoint {
public:
    // `owner` is the object the point belongs to: it holds the point, and the
    // point's references are the owner's.
    ConnectionPoint(IConnectionPointContainer* owner, const IID& iid) noexcept
        : owner_(owner), iid_(iid) {}
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;

    const IID& Iid() const noexcept { return iid_; }

    // The connected sinks, in connection order (a copy: a sink may disconnect
    // while it is being called).
    std::vector<common::ComPtr<IUnknown>> Sinks() const;

    // Calls every sink of a dispatch interface with `dispid` and `args` (in
    // the member's order: they are passed reversed, as dispatch expects).
    // The arguments are borrowed; a by-reference argument (event_args.h) is
    // the same VARIANT for every sink, so a later sink sees what an earlier
    // one left. Stops at nothing: every sink is called.
    void FireDispatch(DISPID dispid, std::initializer_list<VARIANT> args,
                      LCID locale = LOCALE_USER_DEFAULT) const noexcept;

    // Connects a sink directly (quick activation); 0 on failure.
    DWORD Connect(IUnknown* sink) noexcept;
    void DisconnectAll() noexcept;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return owner_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner_->Release(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

private:
    struct Connection {
        DWORD cookie;
        common::ComPtr<IUnknown> sink; // the sink's interface of iid_
    };

    IConnectionPointContainer* owner_;
    IID iid_;
    std::vector<Connection> connections_;
    DWORD nextCookie_ = 1;
};

} // namespace frame
