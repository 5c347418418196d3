// A COM enumerator over a snapshot of items (connections, connection points).
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <new>
#include <vector>

#include "frame/module.h"

namespace frame {

// Item copies given out hold their own reference.
inline void AddRefItem(IConnectionPoint* p) {
    p->AddRef();
}
inline void ReleaseItem(IConnectionPoint* p) {
    p->Release();
}
inline void AddRefItem(const CONNECTDATA& c) {
    c.pUnk->AddRef();
}
inline void ReleaseItem(const CONNECTDATA& c) {
    c.pUnk->Release();
}

template <typename IEnum, typename Item> class Enumerator final : public IEnum {
public:
    // Takes references to every item of `items`.
    static HRESULT Create(const std::vector<Item>& items, size_t position, IEnum** out) noexcept {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = nullptr;
        try {
            auto* e = new Enumerator(items, position);
            e->AddRef();
            *out = e;
            return S_OK;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == __uuidof(IEnum)) {
            *object = static_cast<IEnum*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ::InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = ::InterlockedDecrement(&refs_);
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* out, ULONG* fetched) override {
        if (out == nullptr || (count > 1 && fetched == nullptr)) {
            return E_POINTER;
        }
        ULONG n = 0;
        while (n < count && position_ < items_.size()) {
            out[n] = items_[position_++];
            AddRefItem(out[n]);
            ++n;
        }
        if (fetched != nullptr) {
            *fetched = n;
        }
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        size_t left = items_.size() - position_;
        if (count > left) {
            position_ = items_.size();
            return S_FALSE;
        }
        position_ += count;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnum** out) override { return Create(items_, position_, out); }

private:
    Enumerator(const std::vector<Item>& items, size_t position)
        : items_(items), position_(position) {
        for (const Item& item : items_) {
            AddRefItem(item);
        }
    }
    ~Enumerator() {
        for (const Item& item : items_) {
            ReleaseItem(item);
        }
    }

    ModuleLock lock_;
    std::vector<Item> items_;
    size_t position_;
    LONG refs_ = 0;
};

} // namespace frame
