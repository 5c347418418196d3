#include "frame/persistence.h"

#include <cstdint>
#include <vector>

#include "common/com.h"
#include "frame/dispatch.h"

namespace frame {
namespace {

constexpr uint32_t kStreamFormat = 1;

HRESULT WriteBytes(IStream* stream, const void* data, ULONG size) {
    ULONG written = 0;
    HRESULT hr = stream->Write(data, size, &written);
    if (FAILED(hr)) {
        return hr;
    }
    return written == size ? S_OK : STG_E_MEDIUMFULL;
}

HRESULT ReadBytes(IStream* stream, void* data, ULONG size) {
    ULONG read = 0;
    HRESULT hr = stream->Read(data, size, &read);
    if (FAILED(hr)) {
        return hr;
    }
    return read == size ? S_OK : STG_E_READFAULT;
}

// Size of the value of a fixed-size type in a stream; 0 for others.
ULONG FixedSize(VARTYPE vt) {
    switch (vt) {
    case VT_BOOL:
    case VT_I2:
    case VT_UI2:
        return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR:
        return 4;
    case VT_R8:
    case VT_DATE:
    case VT_CY:
    case VT_I8:
    case VT_UI8:
        return 8;
    case VT_I1:
    case VT_UI1:
        return 1;
    default:
        return 0;
    }
}

} // namespace

HRESULT StreamWriter::Begin() noexcept {
    return WriteBytes(stream_, &kStreamFormat, sizeof kStreamFormat);
}

HRESULT StreamWriter::Write(const wchar_t*, const VARIANT& value) {
    const VARTYPE vt = value.vt;
    HRESULT hr = WriteBytes(stream_, &vt, sizeof vt);
    if (FAILED(hr)) {
        return hr;
    }
    if (vt == VT_BSTR) {
        const uint32_t length = ::SysStringLen(value.bstrVal);
        hr = WriteBytes(stream_, &length, sizeof length);
        if (SUCCEEDED(hr) && length != 0) {
            hr = WriteBytes(stream_, value.bstrVal, length * sizeof(wchar_t));
        }
        return hr;
    }
    if (vt == VT_EMPTY || vt == VT_NULL) {
        return S_OK;
    }
    const ULONG size = FixedSize(vt);
    if (size == 0) {
        return DISP_E_BADVARTYPE;
    }
    return WriteBytes(stream_, &value.llVal, size);
}

HRESULT StreamReader::Begin() noexcept {
    uint32_t format = 0;
    HRESULT hr = ReadBytes(stream_, &format, sizeof format);
    if (FAILED(hr)) {
        return hr;
    }
    return format == kStreamFormat ? S_OK : E_FAIL;
}

HRESULT StreamReader::Read(const wchar_t*, VARIANT* value) {
    ::VariantInit(value);
    VARTYPE vt = VT_EMPTY;
    HRESULT hr = ReadBytes(stream_, &vt, sizeof vt);
    if (FAILED(hr)) {
        return hr;
    }
    if (vt == VT_BSTR) {
        uint32_t length = 0;
        hr = ReadBytes(stream_, &length, sizeof length);
        if (FAILED(hr)) {
            return hr;
        }
        // The length comes from the store: check it against what is left.
        STATSTG stat = {};
        LARGE_INTEGER zero = {};
        ULARGE_INTEGER position = {};
        if (SUCCEEDED(stream_->Stat(&stat, STATFLAG_NONAME)) &&
            SUCCEEDED(stream_->Seek(zero, STREAM_SEEK_CUR, &position)) &&
            static_cast<ULONGLONG>(length) * sizeof(wchar_t) >
                stat.cbSize.QuadPart - position.QuadPart) {
            return STG_E_READFAULT;
        }
        common::UniqueBstr text = common::UniqueBstr::attach(::SysAllocStringLen(nullptr, length));
        if (!text.get()) {
            return E_OUTOFMEMORY;
        }
        if (length != 0) {
            hr = ReadBytes(stream_, text.get(), length * sizeof(wchar_t));
            if (FAILED(hr)) {
                return hr;
            }
        }
        value->vt = VT_BSTR;
        value->bstrVal = text.release();
        return S_OK;
    }
    if (vt == VT_EMPTY || vt == VT_NULL) {
        value->vt = vt;
        return S_OK;
    }
    const ULONG size = FixedSize(vt);
    if (size == 0) {
        return STG_E_READFAULT;
    }
    hr = ReadBytes(stream_, &value->llVal, size);
    if (SUCCEEDED(hr)) {
        value->vt = vt;
    }
    return hr;
}

HRESULT BagWriter::Write(const wchar_t* name, const VARIANT& value) {
    VARIANT copy = value;
    return bag_->Write(name, &copy);
}

HRESULT BagReader::Read(const wchar_t* name, VARIANT* value) {
    ::VariantInit(value);
    HRESULT hr = bag_->Read(name, value, log_);
    // A bag without the item keeps the property as it is.
    return FAILED(hr) ? S_FALSE : hr;
}

HRESULT SaveExtent(const SIZEL& extent, PropertyWriter& writer) noexcept {
    VARIANT size;
    size.vt = VT_UI4;
    size.ulVal = static_cast<ULONG>(extent.cx);
    const HRESULT hr = writer.Write(kExtentWidth, size);
    if (FAILED(hr)) {
        return hr;
    }
    size.ulVal = static_cast<ULONG>(extent.cy);
    return writer.Write(kExtentHeight, size);
}

HRESULT LoadExtent(SIZEL& extent, PropertyReader& reader) noexcept {
    LONG* sides[] = {&extent.cx, &extent.cy};
    const wchar_t* names[] = {kExtentWidth, kExtentHeight};
    for (int i = 0; i < 2; ++i) {
        common::UniqueVariant value;
        HRESULT hr = reader.Read(names[i], value.put());
        if (FAILED(hr)) {
            return hr;
        }
        if (hr == S_OK) {
            hr = ::VariantChangeType(value.get(), value.get(), 0, VT_UI4);
            if (FAILED(hr)) {
                return hr;
            }
            *sides[i] = static_cast<LONG>(value->ulVal);
        }
    }
    return S_OK;
}

HRESULT SaveProperties(IDispatch* object, std::span<const Property> properties,
                       PropertyWriter& writer) noexcept {
    for (const Property& property : properties) {
        if (!property.persisted) {
            continue;
        }
        common::UniqueVariant value;
        HRESULT hr = GetDispatchProperty(object, property.dispid, value.put());
        if (FAILED(hr)) {
            return hr;
        }
        hr = writer.Write(property.name, *value.get());
        if (FAILED(hr)) {
            return hr;
        }
    }
    return S_OK;
}

HRESULT LoadProperties(IDispatch* object, std::span<const Property> properties,
                       PropertyReader& reader) noexcept {
    for (const Property& property : properties) {
        if (!property.persisted) {
            continue;
        }
        common::UniqueVariant value;
        HRESULT hr = reader.Read(property.name, value.put());
        if (FAILED(hr)) {
            return hr;
        }
        if (hr == S_OK) {
            PutDispatchProperty(object, property.dispid, *value.get());
        }
    }
    return S_OK;
}

} // namespace frame
