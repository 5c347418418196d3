// Persistence of a control to a stream, a storage and a property bag: the
// extent, then the persisted properties of its table, in table order.
#include "frame/control.h"

namespace frame {
namespace {

const wchar_t kContentsStream[] = L"Contents";

} // namespace

HRESULT ControlBase::SaveTo(PropertyWriter& writer, bool clearDirty) noexcept {
    HRESULT hr = class_.persistsExtent ? SaveExtent(extent_, writer) : S_OK;
    if (SUCCEEDED(hr)) {
        hr = SaveProperties(Dispatch(), class_.properties, writer);
    }
    if (SUCCEEDED(hr) && clearDirty) {
        SetDirty(false);
    }
    return hr;
}

HRESULT ControlBase::LoadFrom(PropertyReader& reader) noexcept {
    HRESULT hr = class_.persistsExtent ? LoadExtent(extent_, reader) : S_OK;
    if (SUCCEEDED(hr)) {
        hr = LoadProperties(Dispatch(), class_.properties, reader);
    }
    // What was just loaded is what the store holds.
    SetDirty(false);
    return hr;
}

HRESULT ControlBase::GetClassID(CLSID* clsid) {
    return GetUserClassID(clsid);
}

HRESULT ControlBase::IsDirty() {
    return dirty_ ? S_OK : S_FALSE;
}

HRESULT ControlBase::InitNew() {
    return S_OK;
}

HRESULT ControlBase::Load(LPSTREAM stream) {
    if (stream == nullptr) {
        return E_POINTER;
    }
    StreamReader reader(stream);
    HRESULT hr = reader.Begin();
    return FAILED(hr) ? hr : LoadFrom(reader);
}

HRESULT ControlBase::Save(LPSTREAM stream, BOOL clearDirty) {
    if (stream == nullptr) {
        return E_POINTER;
    }
    StreamWriter writer(stream);
    HRESULT hr = writer.Begin();
    return FAILED(hr) ? hr : SaveTo(writer, clearDirty != FALSE);
}

HRESULT ControlBase::GetSizeMax(ULARGE_INTEGER* size) {
    if (size == nullptr) {
        return E_POINTER;
    }
    // Measured by saving into memory.
    common::ComPtr<IStream> memory;
    HRESULT hr = ::CreateStreamOnHGlobal(nullptr, TRUE, memory.put());
    if (FAILED(hr)) {
        return hr;
    }
    StreamWriter writer(memory.get());
    hr = writer.Begin();
    if (SUCCEEDED(hr)) {
        hr = SaveTo(writer, false);
    }
    if (FAILED(hr)) {
        return hr;
    }
    LARGE_INTEGER zero = {};
    return memory->Seek(zero, STREAM_SEEK_CUR, size);
}

HRESULT ControlBase::InitNew(IStorage*) {
    return S_OK;
}

HRESULT ControlBase::Load(IStorage* storage) {
    if (storage == nullptr) {
        return E_POINTER;
    }
    common::ComPtr<IStream> stream;
    HRESULT hr = storage->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                     stream.put());
    return FAILED(hr) ? hr : Load(stream.get());
}

HRESULT ControlBase::Save(IStorage* storage, BOOL) {
    if (storage == nullptr) {
        return E_POINTER;
    }
    common::ComPtr<IStream> stream;
    HRESULT hr = storage->CreateStream(
        kContentsStream, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.put());
    return FAILED(hr) ? hr : Save(stream.get(), TRUE);
}

HRESULT ControlBase::SaveCompleted(IStorage*) {
    return S_OK;
}
HRESULT ControlBase::HandsOffStorage() {
    return S_OK;
}

HRESULT ControlBase::Load(IPropertyBag* bag, IErrorLog* log) {
    if (bag == nullptr) {
        return E_POINTER;
    }
    BagReader reader(bag, log);
    return LoadFrom(reader);
}

HRESULT ControlBase::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
    if (bag == nullptr) {
        return E_POINTER;
    }
    BagWriter writer(bag);
    return SaveTo(writer, clearDirty != FALSE);
}

} // namespace frame
