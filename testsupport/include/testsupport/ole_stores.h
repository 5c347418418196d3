// Where a control's persistence tests save to: memory streams and storages,
// and a property bag that remembers the order of its items.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

#include "common/com.h"

namespace testsupport {

common::ComPtr<IStream> MemoryStream();
// Moves a stream back to its start.
void Rewind(IStream* stream);
common::ComPtr<IStorage> MemoryStorage();

class PropertyBag final : public IPropertyBag {
public:
    static common::ComPtr<PropertyBag> Create();

    // Item names in the order they were first written.
    std::vector<std::wstring> Names() const;
    // Names in the order they were asked for.
    const std::vector<std::wstring>& Reads() const noexcept { return reads_; }
    // The item's value; VT_EMPTY when there is none.
    const VARIANT* Find(const std::wstring& name) const;
    void Set(const std::wstring& name, const VARIANT& value);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override;

private:
    PropertyBag() = default;
    ~PropertyBag() = default;

    LONG refs_ = 0;
    std::vector<std::pair<std::wstring, common::UniqueVariant>> items_;
    std::vector<std::wstring> reads_;
};

} // namespace testsupport
