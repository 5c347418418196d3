#include "frame/connection_point.h"

#include <algorithm>

#include "frame/enumerator.h"

namespace frame {

std::vector<common::ComPtr<IUnknown>> ConnectionPoint::Sinks() const {
    std::vector<common::ComPtr<IUnknown>> sinks;
    sinks.reserve(connections_.size());
    for (const Connection& c : connections_) {
        sinks.push_back(c.sink);
    }
    return sinks;
}

void ConnectionPoint::FireDispatch(DISPID dispid, std::initializer_list<VARIANT> args,
                                   LCID locale) const noexcept {
    try {
        std::vector<VARIANTARG> reversed(args.begin(), args.end());
        std::reverse(reversed.begin(), reversed.end());
        for (const common::ComPtr<IUnknown>& sink : Sinks()) {
            DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), nullptr,
                                 static_cast<UINT>(reversed.size()), 0};
            // The sink was asked for a dispatch interface when it connected.
            auto* dispatch = static_cast<IDispatch*>(sink.get());
            common::UniqueVariant ignored;
            dispatch->Invoke(dispid, IID_NULL, locale, DISPATCH_METHOD, &params, ignored.put(),
                             nullptr, nullptr);
        }
    } catch (...) {
        // Out of memory for the snapshot: the event is lost, the object lives on.
    }
}

DWORD ConnectionPoint::Connect(IUnknown* sink) noexcept {
    DWORD cookie = 0;
    return SUCCEEDED(Advise(sink, &cookie)) ? cookie : 0;
}

void ConnectionPoint::DisconnectAll() noexcept {
    connections_.clear();
}

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (iid == nullptr) {
        return E_POINTER;
    }
    *iid = iid_;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = owner_;
    owner_->AddRef();
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (cookie == nullptr) {
        return E_POINTER;
    }
    *cookie = 0;
    if (sink == nullptr) {
        return E_POINTER;
    }
    common::ComPtr<IUnknown> typed;
    if (FAILED(sink->QueryInterface(iid_, typed.put_void()))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    try {
        connections_.push_back({nextCookie_, std::move(typed)});
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    *cookie = nextCookie_++;
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
    auto found = std::find_if(connections_.begin(), connections_.end(),
                              [cookie](const Connection& c) { return c.cookie == cookie; });
    if (found == connections_.end()) {
        return CONNECT_E_NOCONNECTION;
    }
    // Release after the list no longer names the sink: its release may call back.
    common::ComPtr<IUnknown> sink = std::move(found->sink);
    connections_.erase(found);
    return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** out) {
    try {
        std::vector<CONNECTDATA> items;
        for (const Connection& c : connections_) {
            items.push_back({c.sink.get(), c.cookie});
        }
        return Enumerator<IEnumConnections, CONNECTDATA>::Create(items, 0, out);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

} // namespace frame
