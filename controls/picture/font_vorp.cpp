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

enum : DISPID {
    kNameId = 0,
    kSizeId = 2,
    kBoldId = 3,
    kItalicId = 4,
    kUnderlineId = 5,
    kStrikethroughId = 6,
    kWeightId = 7,
    kCharsetId = 8,
};

// Saved and loaded in this order.
const frame::Property kProperties[] = {
    {L"Name", kNameId, true},           {L"Italic", kItalicId, true},
    {L"Underline", kUnderlineId, true}, {L"Strikethru", kStrikethroughId, true},
    {L"Size", kSizeId, true},           {L"Weight", kWeightId, true},
    {L"Charset", kCharsetId, true},
};

int Flag(BYTE value) noexcept {
    return value != 0 ? -1 : 0;
}

// The whole-number properties: how each reads and edits the description.
constexpr FontField kBold{
    kBoldId, [](const LOGFONTW& font) { return font.lfWeight > kNormalWeight ? -1 : 0; },
    [](LOGFONTW& font, int value) { font.lfWeight = value != 0 ? kBoldWeight : kNormalWeight; }};
constexpr FontField kItalic{kItalicId, [](const LOGFONTW& font) { return Flag(font.lfItalic); },
                            [](LOGFONTW& font, int value) { font.lfItalic = value != 0; }};
constexpr FontField kUnderline{kUnderlineId,
                               [](const LOGFONTW& font) { return Flag(font.lfUnderline); },
                               [](LOGFONTW& font, int value) { font.lfUnderline = value != 0; }};
constexpr FontField kStrikethrough{
    kStrikethroughId, [](const LOGFONTW& font) { return Flag(font.lfStrikeOut); },
    [](LOGFONTW& font, int value) { font.lfStrikeOut = value != 0; }};
constexpr FontField kWeight{kWeightId,
                            [](const LOGFONTW& font) { return static_cast<int>(font.lfWeight); },
                            [](LOGFONTW& font, int value) { font.lfWeight = value; }};
// Character sets are one byte: only the low 8 bits are kept.
constexpr FontField kCharset{
    kCharsetId, [](const LOGFONTW& font) { return static_cast<int>(font.lfCharSet); },
    [](LOGFONTW& font, int value) { font.lfCharSet = static_cast<BYTE>(value & 0xFF); }};

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
    return Change(font, kNameId);
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
    return Change(font, kSizeId);
}

HRESULT FontVorp::GetField(const FontField& field, int* value) const noexcept {
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = field.read(Description());
    return S_OK;
}

HRESULT FontVorp::PutField(const FontField& field, int value) noexcept {
    LOGFONTW font = Description();
    field.write(font, value);
    return Change(font, field.id);
}

HRESULT FontVorp::get_Bold(BOOL* pVal) {
    return GetField(kBold, pVal);
}
HRESULT FontVorp::put_Bold(BOOL newVal) {
    return PutField(kBold, newVal);
}
HRESULT FontVorp::get_Italic(BOOL* pVal) {
    return GetField(kItalic, pVal);
}
HRESULT FontVorp::put_Italic(BOOL newVal) {
    return PutField(kItalic, newVal);
}
HRESULT FontVorp::get_Underline(BOOL* pVal) {
    return GetField(kUnderline, pVal);
}
HRESULT FontVorp::put_Underline(BOOL newVal) {
    return PutField(kUnderline, newVal);
}
HRESULT FontVorp::get_Strikethrough(BOOL* pVal) {
    return GetField(kStrikethrough, pVal);
}
HRESULT FontVorp::put_Strikethrough(BOOL newVal) {
    return PutField(kStrikethrough, newVal);
}
HRESULT FontVorp::get_Weight(INT* pVal) {
    return GetField(kWeight, pVal);
}
HRESULT FontVorp::put_Weight(INT newVal) {
    return PutField(kWeight, newVal);
}
HRESULT FontVorp::get_Charset(INT* pVal) {
    return GetField(kCharset, pVal);
}
HRESULT FontVorp::put_Charset(INT newVal) {
    return PutField(kCharset, newVal);
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
    // A font is no control: it keeps no extent, only its description.
    return frame::LoadProperties(static_cast<IFontVorp*>(this), kProperties, reader);
}

HRESULT FontVorp::Save(IStream* stream, BOOL clearDirty) {
    if (stream == nullptr) {
        return E_POINTER;
    }
    frame::StreamWriter writer(stream);
    HRESULT hr = writer.Begin();
    if (SUCCEEDED(hr)) {
        hr = frame::SaveProperties(static_cast<IFontVorp*>(this), kProperties, writer);
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
