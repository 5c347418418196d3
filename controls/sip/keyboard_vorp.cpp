#include "keyboard_vorp.h"

#include <algorithm>

#include "common/handle.h"
#include "frame/module.h"
#include "keyboard_config.h"
#include "keyboard_panel.h"
#include "resource.h"

using namespace keyboard;

namespace {

constexpr wchar_t kDefaultDescription[] = L"Keyboard panel of configurable keys";
constexpr BOOL kTrue = -1;

std::wstring LoadText(UINT id) {
    wchar_t text[128] = {};
    ::LoadStringW(frame::module::Instance(), id, text, 128);
    return text;
}

std::wstring_view TextOf(BSTR text) {
    return {text != nullptr ? text : L"", ::SysStringLen(text)};
}

HRESULT CopyOut(const std::wstring& text, BSTR* pVal) {
    *pVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *pVal != nullptr ? S_OK : E_OUTOFMEMORY;
}

// One image of a bitmap and its mask from the module's resources.
HIMAGELIST CreateImageList(int width, const wchar_t* image, const wchar_t* mask) {
    HIMAGELIST list = ::ImageList_Create(width, 16, ILC_COLOR | ILC_MASK, 1, 0);
    if (list == nullptr) {
        return nullptr;
    }
    common::UniqueGdiObject bitmap(::LoadBitmapW(frame::module::Instance(), image));
    common::UniqueGdiObject maskBitmap(::LoadBitmapW(frame::module::Instance(), mask));
    ::ImageList_Add(list, static_cast<HBITMAP>(bitmap.get()),
                    static_cast<HBITMAP>(maskBitmap.get()));
    return list;
}

} // namespace

const frame::ObjectClass& KeyboardVorp::Class() {
    static const frame::ObjectClass cls = {&CLSID_KeyboardVorp, &IID_IKeyboardVorp,
                                           &DIID__IKeyboardVorpEvents};
    return cls;
}

KeyboardVorp::KeyboardVorp() : displayName_(LoadText(IDS_PROJNAME)) {}

KeyboardVorp::~KeyboardVorp() {
    DestroyImageLists();
}

void KeyboardVorp::OnFinalRelease() {
    // A panel whose input method goes may not outlive it.
    if (Panel* panel = LivePanel(); panel != nullptr && panel->owner == this) {
        DestroyLivePanel();
    }
}

void KeyboardVorp::DestroyImageLists() noexcept {
    if (narrow_ != nullptr) {
        ::ImageList_Destroy(std::exchange(narrow_, nullptr));
    }
    if (wide_ != nullptr) {
        ::ImageList_Destroy(std::exchange(wide_, nullptr));
    }
}

HRESULT KeyboardVorp::QueryInterface(REFIID iid, void** object) {
    if (object != nullptr && iid == IID_IInputMethod) {
        *object = static_cast<IInputMethod*>(this);
        AddRef();
        return S_OK;
    }
    return QueryObject(iid, object, static_cast<IKeyboardVorp*>(this));
}

// ---- IKeyboardVorp -------------------------------------------------------------

HRESULT KeyboardVorp::get_Rows(short* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = ReadShort(kRowsValue, kDefaultRows);
    return S_OK;
}

HRESULT KeyboardVorp::put_Rows(short newVal) {
    if (newVal != ReadShort(kRowsValue, kDefaultRows)) {
        WriteShort(kRowsValue, newVal);
        if (Panel* panel = LivePanel()) {
            panel->rows = newVal;
        }
    }
    return S_OK;
}

HRESULT KeyboardVorp::get_Cols(short* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = ReadShort(kColsValue, kDefaultCols);
    return S_OK;
}

HRESULT KeyboardVorp::put_Cols(short newVal) {
    if (newVal != ReadShort(kColsValue, kDefaultCols)) {
        WriteShort(kColsValue, newVal);
        if (Panel* panel = LivePanel()) {
            panel->cols = newVal;
        }
    }
    return S_OK;
}

HRESULT KeyboardVorp::get_Title(BSTR* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    try {
        // With neither name stored, the library's own name: never an older
        // name this object happened to keep.
        std::wstring title;
        if (!ReadClassString(nullptr, nullptr, &title) &&
            !ReadString(kDisplayNameValue, std::wstring::npos, &title)) {
            title = LoadText(IDS_PROJNAME);
        }
        displayName_ = title;
        return CopyOut(displayName_, pVal);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT KeyboardVorp::put_Title(BSTR newVal) {
    try {
        displayName_ = TextOf(newVal);
        return WriteClassString(nullptr, nullptr, displayName_) ? S_OK : E_FAIL;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT KeyboardVorp::get_TextColor(ULONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = ReadDword(kTextColorValue, DefaultTextColor());
    return S_OK;
}

HRESULT KeyboardVorp::put_TextColor(ULONG newVal) {
    WriteDword(kTextColorValue, newVal);
    return S_OK;
}

HRESULT KeyboardVorp::get_BackColor(ULONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = ReadDword(kBackColorValue, kDefaultBackColor);
    return S_OK;
}

HRESULT KeyboardVorp::put_BackColor(ULONG newVal) {
    WriteDword(kBackColorValue, newVal);
    return S_OK;
}

HRESULT KeyboardVorp::get_Style(SipStyle* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<SipStyle>(ReadDword(kKeyStyleValue, kDefaultKeyStyle));
    return S_OK;
}

HRESULT KeyboardVorp::put_Style(SipStyle newVal) {
    const DWORD style = static_cast<DWORD>(newVal);
    if (style != ReadDword(kKeyStyleValue, kDefaultKeyStyle)) {
        if (Panel* panel = LivePanel()) {
            LoadLayout(*panel, style);
        }
        WriteDword(kKeyStyleValue, style);
    }
    return S_OK;
}

HRESULT KeyboardVorp::get_Align(SipAlign* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<SipAlign>(ReadDword(kAlignValue, kDefaultAlign));
    return S_OK;
}

HRESULT KeyboardVorp::put_Align(SipAlign newVal) {
    WriteDword(kAlignValue, static_cast<DWORD>(newVal));
    return S_OK;
}

HRESULT KeyboardVorp::SetKey(short Index, BSTR DisplayText, BSTR KeyText, SipKeyUse KeyUse) {
    const int rows = ReadShort(kRowsValue, kDefaultRows);
    const int cols = ReadShort(kColsValue, kDefaultCols);
    // Keys past the table's 40 do not exist, whatever the grid.
    if (Index < 1 || Index > std::min(rows * cols, kKeyCount)) {
        return E_INVALIDARG;
    }
    try {
        const DWORD use = static_cast<DWORD>(KeyUse);
        if (Panel* panel = LivePanel()) {
            SetKeyRecord(panel->keys[Index - 1], TextOf(DisplayText), TextOf(KeyText), use);
            panel->pressed = -1;
            panel->keysChanged = true;
        } else {
            // No panel to hold the key: it goes straight into the custom keys.
            KeyRecord key = {};
            SetKeyRecord(key, TextOf(DisplayText), TextOf(KeyText), use);
            WriteString(KeyValueName(L"keydisp", Index).c_str(), key.label);
            WriteString(KeyValueName(L"keycode", Index).c_str(), key.text);
            WriteDword(KeyValueName(L"keyuse", Index).c_str(), key.use);
        }
        WriteDword(kKeyStyleValue, kStyleCustom);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT KeyboardVorp::get_FlatLook(BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = ReadDword(kFlatValue, kDefaultFlat) != 0 ? kTrue : 0;
    return S_OK;
}

HRESULT KeyboardVorp::put_FlatLook(BOOL newVal) {
    WriteShort(kFlatValue, static_cast<short>(newVal));
    return S_OK;
}

HRESULT KeyboardVorp::GetClassText(const wchar_t* subkey, const wchar_t* name,
                                   const wchar_t* fallback, BSTR* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    try {
        std::wstring text;
        if (!ReadClassString(subkey, name, &text)) {
            text = fallback;
        }
        return CopyOut(text, pVal);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT KeyboardVorp::PutClassText(const wchar_t* subkey, const wchar_t* name, BSTR newVal) {
    try {
        return WriteClassString(subkey, name, TextOf(newVal)) ? S_OK : E_FAIL;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT KeyboardVorp::get_AboutDescription(BSTR* pVal) {
    return GetClassText(nullptr, L"Desc", kDefaultDescription, pVal);
}
HRESULT KeyboardVorp::put_AboutDescription(BSTR newVal) {
    return PutClassText(nullptr, L"Desc", newVal);
}
HRESULT KeyboardVorp::get_DefaultIcon(BSTR* pVal) {
    return GetClassText(L"DefaultIcon", nullptr, L"", pVal);
}
HRESULT KeyboardVorp::put_DefaultIcon(BSTR newVal) {
    return PutClassText(L"DefaultIcon", nullptr, newVal);
}
HRESULT KeyboardVorp::get_ImageNarrow(BSTR* pVal) {
    return GetClassText(nullptr, L"ImageNarrow", L"", pVal);
}
HRESULT KeyboardVorp::put_ImageNarrow(BSTR newVal) {
    return PutClassText(nullptr, L"ImageNarrow", newVal);
}
HRESULT KeyboardVorp::get_ImageWide(BSTR* pVal) {
    return GetClassText(nullptr, L"ImageWide", L"", pVal);
}
HRESULT KeyboardVorp::put_ImageWide(BSTR newVal) {
    return PutClassText(nullptr, L"ImageWide", newVal);
}

// ---- IInputMethod ---------------------------------------------------------------

HRESULT KeyboardVorp::Select(HWND sipWindow) {
    try {
        if (LivePanel() != nullptr) {
            Deselect();
        }
        DestroyImageLists();
        narrow_ = CreateImageList(16, L"NarrowBmp", L"NarrowMask");
        wide_ = CreateImageList(32, L"WideBmp", L"WideMask");
        sipWindow_ = sipWindow;
        Panel* panel = CreateLivePanel(sipWindow, this);
        if (panel == nullptr) {
            return E_FAIL;
        }
        ULONG colour = 0;
        get_BackColor(&colour);
        panel->backColor = colour;
        get_TextColor(&colour);
        panel->textColor = colour;
        common::UniqueBstr title;
        get_Title(title.put());
        get_Rows(&panel->rows);
        get_Cols(&panel->cols);
        SipAlign align = AlignRight;
        get_Align(&align);
        panel->align = static_cast<DWORD>(align);
        get_FlatLook(&panel->flat);
        LoadLayout(*panel, ReadDword(kKeyStyleValue, kDefaultKeyStyle));
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT KeyboardVorp::Deselect() {
    try {
        if (Panel* panel = LivePanel()) {
            if (panel->keysChanged) {
                SaveCustomKeys(*panel);
            }
            DestroyLivePanel();
        }
        DestroyImageLists();
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT KeyboardVorp::Showing() {
    try {
        if (Panel* panel = LivePanel()) {
            LoadLayout(*panel, ReadDword(kKeyStyleValue, kDefaultKeyStyle));
            panel->flat = static_cast<short>(ReadDword(kFlatValue, kDefaultFlat));
            panel->textColor = ReadDword(kTextColorValue, DefaultTextColor());
            panel->backColor = ReadDword(kBackColorValue, kDefaultBackColor);
            panel->align = ReadDword(kAlignValue, kDefaultAlign);
        }
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT KeyboardVorp::Hiding() {
    try {
        if (Panel* panel = LivePanel(); panel != nullptr && panel->keysChanged) {
            SaveCustomKeys(*panel);
        }
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT KeyboardVorp::GetInfo(IMINFO* info) {
    if (info == nullptr || info->cbSize != sizeof(IMINFO)) {
        return E_INVALIDARG;
    }
    *info = {};
    info->cbSize = sizeof(IMINFO);
    info->hImageNarrow = narrow_;
    info->hImageWide = wide_;
    Panel* panel = LivePanel();
    info->fdwFlags = SIPF_DOCKED;
    if (panel != nullptr && ::IsWindowVisible(panel->window)) {
        info->fdwFlags |= SIPF_ON;
    }
    ::GetWindowRect(sipWindow_, &info->rcSipRect);
    return S_OK;
}

HRESULT KeyboardVorp::ReceiveSipInfo(SIPINFO*) {
    if (Panel* panel = LivePanel()) {
        RECT client = {};
        ::GetClientRect(sipWindow_, &client);
        ::MoveWindow(panel->window, 0, 0, client.right, client.bottom, TRUE);
    }
    return S_OK;
}

HRESULT KeyboardVorp::RegisterCallback(IIMCallback* callback) {
    if (Panel* panel = LivePanel()) {
        panel->callback = common::ComPtr<IIMCallback>(callback);
    }
    return S_OK;
}

HRESULT KeyboardVorp::GetImData(DWORD size, void* data) {
    // The data is this object's configuration interface: a pointer's worth.
    if (size != sizeof(IKeyboardVorp*) || data == nullptr) {
        return E_FAIL;
    }
    IKeyboardVorp* self = this;
    self->AddRef();
    *static_cast<IKeyboardVorp**>(data) = self;
    return S_OK;
}

HRESULT KeyboardVorp::SetImData(DWORD, void*) {
    return S_OK;
}
