// FontVorp's members and persistence.
#include "font_vorp.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>

#include "common/com.h"
#include "frame/persistence.h"
#include "handle_values.h"

namespace {

constexpr LONG kNormalWeight = 400;
constexpr LONG kBoldWeight = 700;
// Currency units (ten-thousandths) in a point, times 72 points per inch.
constexpr uint64_t kCurrencyPerInch = 720000;

const wchar_t kContentsStream[] = L"Contents";

// Saved and loaded in this order.
const frame::Property kProperties[] = {
    {L"Name", 0, true}, {L"Italic", 4, true}, {L"Underline", 5, true}, {L"Strikethru", 6, true},
    {L"Size", 2, true}, {L"Weight", 7, true}, {L"Charset", 8, true},
};

bool SameDescription(const LOGFONTW& a, const LOGFONTW& b) noexcept {
    return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
           a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight &&
           a.lfItalic == b.lfItalic && a.lfUnderline == b.lfUnderline &&
           a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
           a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
           a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
           std::wcsncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

} // namespace

int ScreenPixelsPerInch() noexcept {
    common::WindowDc screen(nullptr);
    const int perInch = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return perInch > 0 ? perInch : 96;
}

LOGFONTW DefaultFontDescription() noexcept {
    LOGFONTW font{};
    font.lfHeight = -std::max(1, 8 * ScreenPixelsPerInch() / 72);
    font.lfWeight = kNormalWeight;
    font.lfCharSet = DEFAULT_CHARSET;
    std::wcscpy(font.lfFaceName, L"Tahoma");
    return font;
}

const frame::ObjectClass& FontVorp::Class() {
    static const frame::ObjectClass cls{&CLSID_FontVorp, &IID_IFontVorp, nullptr};
    return cls;
}

FontVorp::FontVorp() : propertyNotify_(this, IID_IPropertyNotifySink) {
    AddConnectionPoint(&propertyNotify_);
    const LOGFONTW font = DefaultFontDescription();
    font_.reset(::CreateFontIndirectW(&font));
}

HRESULT FontVorp::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IPersistStreamInit || iid == IID_IPersist) {
        *object = static_cast<IPersistStreamInit*>(this);
    } else if (iid == IID_IPersistStorage) {
        *object = static_cast<IPersistStorage*>(this);
    } else {
        return Object::QueryInterface(iid, object);
    }
    AddRef();
    return S_OK;
}

LOGFONTW FontVorp::Description() const noexcept {
    LOGFONTW font{};
    if (font_ && ::GetObjectW(font_.get(), sizeof(font), &font) == sizeof(font)) {
        return font;
    }
    return DefaultFontDescription();
}

HRESULT FontVorp::Replace(const LOGFONTW& font, DISPID id, bool notify) noexcept {
    font_.reset();
    font_.reset(::CreateFontIndirectW(&font));
    dirty_ = true;
    if (!font_) {
        return E_UNEXPECTED;
    }
    if (notify) {
        try {
            for (const auto& sink : propertyNotify_.Sinks()) {
                static_cast<IPropertyNotifySink*>(sink.get())->OnChanged(id);
            }
        } catch (...) {
        }
    }
    return S_OK;
}

HRESULT FontVorp::Change(const LOGFONTW& font, DISPID id) noexcept {
    if (font_ && SameDescription(font, Description())) {
        return S_OK;
    }
    return Replace(font, id, true);
}

HRESULT FontVorp::get_Name(BSTR* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    const LOGFONTW font = Description();
    *pVal = ::SysAllocString(font.lfFaceName);
    return *pVal != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT FontVorp::put_Name(BSTR newVal) {
    LOGFONTW font = Description();
    const std::wstring_view name(newVal != nullptr ? newVal : L"", ::SysStringLen(newVal));
    const size_t kept = std::min<size_t>(name.size(), LF_FACESIZE - 1);
    std::fill(std::begin(font.lfFaceName), std::end(font.lfFaceName), L'\0');
    std::copy_n(name.data(), kept, font.lfFaceName);
    return Change(font, 0);
}

HRESULT FontVorp::get_Size(CY* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    const LOGFONTW font = Description();
    const uint64_t height = static_cast<uint64_t>(std::abs(font.lfHeight));
    pVal->int64 = static_cast<LONGLONG>(height * kCurrencyPerInch /
                                        static_cast<uint64_t>(ScreenPixelsPerInch()));
    return S_OK;
}

HRESULT FontVorp::put_Size(CY newVal) {
    LOGFONTW font = Description();
    const uint64_t pixels = static_cast<uint64_t>(newVal.int64) *
                            static_cast<uint64_t>(ScreenPixelsPerInch()) / kCurrencyPerInch;
    font.lfHeight = pixels > 0 ? -static_cast<LONG>(pixels) : static_cast<LONG>(pixels);
    return Change(font, 2);
}

HRESULT FontVorp::get_Bold(BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = Description().lfWeight > kNormalWeight ? -1 : 0;
    return S_OK;
}

HRESULT FontVorp::put_Bold(BOOL newVal) {
    LOGFONTW font = Description();
    font.lfWeight = newVal != 0 ? kBoldWeight : kNormalWeight;
    return Change(font, 3);
}

HRESULT FontVorp::GetFlag(BYTE LOGFONTW::*field, BOOL* value) const noexcept {
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = Description().*field != 0 ? -1 : 0;
    return S_OK;
}

HRESULT FontVorp::PutFlag(BYTE LOGFONTW::*field, BOOL value, DISPID id) noexcept {
    LOGFONTW font = Description();
    font.*field = value != 0 ? TRUE : FALSE;
    return Change(font, id);
}

HRESULT FontVorp::get_Italic(BOOL* pVal) {
    return GetFlag(&LOGFONTW::lfItalic, pVal);
}
HRESULT FontVorp::put_Italic(BOOL newVal) {
    return PutFlag(&LOGFONTW::lfItalic, newVal, 4);
}
HRESULT FontVorp::get_Underline(BOOL* pVal) {
    return GetFlag(&LOGFONTW::lfUnderline, pVal);
}
HRESULT FontVorp::put_Underline(BOOL newVal) {
    return PutFlag(&LOGFONTW::lfUnderline, newVal, 5);
}
HRESULT FontVorp::get_Strikethrough(BOOL* pVal) {
    return GetFlag(&LOGFONTW::lfStrikeOut, pVal);
}
HRESULT FontVorp::put_Strikethrough(BOOL newVal) {
    return PutFlag(&LOGFONTW::lfStrikeOut, newVal, 6);
}

HRESULT FontVorp::get_Weight(INT* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<INT>(Description().lfWeight);
    return S_OK;
}

HRESULT FontVorp::put_Weight(INT newVal) {
    LOGFONTW font = Description();
    font.lfWeight = newVal;
    return Change(font, 7);
}

HRESULT FontVorp::get_Charset(INT* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = Description().lfCharSet;
    return S_OK;
}

HRESULT FontVorp::put_Charset(INT newVal) {
    LOGFONTW font = Description();
    font.lfCharSet = static_cast<BYTE>(newVal & 0xFF);
    return Change(font, 8);
}

HRESULT FontVorp::get_hFont(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = HandleToValue(font_.get());
    return S_OK;
}

HRESULT FontVorp::Clone(IFontVorp** ppfont) {
    if (ppfont == nullptr) {
        return E_POINTER;
    }
    *ppfont = nullptr;
    FontVorp* copy = new (std::nothrow) FontVorp();
    if (copy == nullptr) {
        return E_OUTOFMEMORY;
    }
    copy->AddRef();
    const HRESULT hr = copy->Replace(Description(), DISPID_UNKNOWN, false);
    if (FAILED(hr)) {
        copy->Release();
        return hr;
    }
    *ppfont = copy;
    return S_OK;
}

HRESULT FontVorp::IsEqual(IFontVorp*) {
    return E_NOTIMPL;
}

HRESULT FontVorp::GetClassID(CLSID* clsid) {
    if (clsid == nullptr) {
        return E_POINTER;
    }
    *clsid = CLSID_FontVorp;
    return S_OK;
}

HRESULT FontVorp::IsDirty() {
    return dirty_ ? S_OK : S_FALSE;
}

HRESULT FontVorp::Load(IStream* stream) {
    if (stream == nullptr) {
        return E_POINTER;
    }
    frame::StreamReader reader(stream);
    HRESULT hr = reader.Begin();
    if (FAILED(hr)) {
        return hr;
    }
    SIZEL extent{};
    return frame::LoadProperties(static_cast<IFontVorp*>(this), kProperties, extent, reader);
}

HRESULT FontVorp::Save(IStream* stream, BOOL clearDirty) {
    if (stream == nullptr) {
        return E_POINTER;
    }
    frame::StreamWriter writer(stream);
    HRESULT hr = writer.Begin();
    if (SUCCEEDED(hr)) {
        hr = frame::SaveProperties(static_cast<IFontVorp*>(this), kProperties, SIZEL{}, writer);
    }
    if (SUCCEEDED(hr) && clearDirty) {
        dirty_ = false;
    }
    return hr;
}

HRESULT FontVorp::GetSizeMax(ULARGE_INTEGER* size) {
    if (size == nullptr) {
        return E_POINTER;
    }
    size->QuadPart = 1024;
    return S_OK;
}

HRESULT FontVorp::InitNew() {
    return S_OK;
}

HRESULT FontVorp::InitNew(IStorage*) {
    return S_OK;
}

HRESULT FontVorp::Load(IStorage* storage) {
    if (storage == nullptr) {
        return E_POINTER;
    }
    common::ComPtr<IStream> stream;
    HRESULT hr = storage->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                     stream.put());
    return SUCCEEDED(hr) ? Load(stream.get()) : hr;
}

HRESULT FontVorp::Save(IStorage* storage, BOOL) {
    if (storage == nullptr) {
        return E_POINTER;
    }
    common::ComPtr<IStream> stream;
    HRESULT hr = storage->CreateStream(
        kContentsStream, STGM_WRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0, stream.put());
    return SUCCEEDED(hr) ? Save(stream.get(), TRUE) : hr;
}

HRESULT FontVorp::SaveCompleted(IStorage*) {
    return S_OK;
}

HRESULT FontVorp::HandsOffStorage() {
    return S_OK;
}
