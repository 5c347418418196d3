#include "testsupport/ole_stores.h"

namespace testsupport {

common::ComPtr<IStream> MemoryStream() {
    common::ComPtr<IStream> stream;
    ::CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
    return stream;
}

void Rewind(IStream* stream) {
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
}

common::ComPtr<IStorage> MemoryStorage() {
    common::ComPtr<ILockBytes> bytes;
    common::ComPtr<IStorage> storage;
    if (SUCCEEDED(::CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.put()))) {
        ::StgCreateDocfileOnILockBytes(
            bytes.get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, storage.put());
    }
    return storage;
}

common::ComPtr<PropertyBag> PropertyBag::Create() {
    return common::ComPtr<PropertyBag>(new PropertyBag());
}

std::vector<std::wstring> PropertyBag::Names() const {
    std::vector<std::wstring> names;
    for (const auto& item : items_) {
        names.push_back(item.first);
    }
    return names;
}

const VARIANT* PropertyBag::Find(const std::wstring& name) const {
    static const VARIANT empty = {};
    for (const auto& item : items_) {
        if (item.first == name) {
            return item.second.get();
        }
    }
    return &empty;
}

void PropertyBag::Set(const std::wstring& name, const VARIANT& value) {
    for (auto& item : items_) {
        if (item.first == name) {
            ::VariantCopy(item.second.put(), const_cast<VARIANT*>(&value));
            return;
        }
    }
    common::UniqueVariant copy;
    ::VariantCopy(copy.get(), const_cast<VARIANT*>(&value));
    items_.emplace_back(name, std::move(copy));
}

HRESULT PropertyBag::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IPropertyBag) {
        *object = static_cast<IPropertyBag*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG PropertyBag::AddRef() {
    return ::InterlockedIncrement(&refs_);
}

ULONG PropertyBag::Release() {
    LONG left = ::InterlockedDecrement(&refs_);
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT PropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
    if (name == nullptr || value == nullptr) {
        return E_POINTER;
    }
    reads_.emplace_back(name);
    for (const auto& item : items_) {
        if (item.first == name) {
            const VARTYPE wanted = value->vt;
            ::VariantInit(value);
            if (wanted == VT_EMPTY) {
                return ::VariantCopy(value, const_cast<VARIANT*>(item.second.get()));
            }
            return ::VariantChangeType(value, const_cast<VARIANT*>(item.second.get()), 0, wanted);
        }
    }
    return E_INVALIDARG;
}

HRESULT PropertyBag::Write(LPCOLESTR name, VARIANT* value) {
    if (name == nullptr || value == nullptr) {
        return E_POINTER;
    }
    Set(name, *value);
    return S_OK;
}

} // namespace testsupport
