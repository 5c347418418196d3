// The property page of every control library: page site, selected objects,
// the page window from its dialog template, page information from the string
// table, and the dirty state.
#include "frame/property_page.h"

#include <cstring>
#include <new>
#include <string>

namespace frame {
namespace {

// Reads a dialog template's fields in order without running past its end.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) noexcept : data_(data), size_(size) {}

    bool ok() const noexcept { return ok_; }
    template <typename T> T Take() noexcept {
        T value{};
        if (!ok_ || size_ - offset_ < sizeof(T)) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, data_ + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }
    // A menu, class or title field: none, an ordinal, or a string.
    void SkipNameOrOrdinal() noexcept {
        const WORD first = Take<WORD>();
        if (first == 0xFFFF) {
            Take<WORD>();
        } else if (first != 0) {
            TakeString();
        }
    }
    std::wstring TakeString() noexcept {
        std::wstring text;
        try {
            for (WORD c = Take<WORD>(); ok_ && c != 0; c = Take<WORD>()) {
                text.push_back(static_cast<wchar_t>(c));
            }
        } catch (...) {
            ok_ = false;
        }
        return text;
    }
    // Templates align their words on even offsets.
    void AlignWord() noexcept { offset_ = (offset_ + 1) & ~size_t{1}; }

private:
    const BYTE* data_;
    size_t size_;
    size_t offset_ = 0;
    bool ok_ = true;
};

struct TemplateLayout {
    short cx = 0;
    short cy = 0;
    bool hasFont = false;
    WORD pointSize = 0;
    WORD weight = FW_DONTCARE;
    BYTE italic = 0;
    std::wstring face;
};

bool ReadTemplate(const BYTE* data, size_t size, TemplateLayout& layout) noexcept {
    TemplateReader reader(data, size);
    DWORD style = 0;
    const WORD version = reader.Take<WORD>();
    const WORD signature = reader.Take<WORD>();
    const bool extended = version == 1 && signature == 0xFFFF;
    if (extended) {
        reader.Take<DWORD>(); // help id
        reader.Take<DWORD>(); // extended style
        style = reader.Take<DWORD>();
    } else {
        style = MAKELONG(version, signature);
        reader.Take<DWORD>(); // extended style
    }
    reader.Take<WORD>(); // item count
    reader.Take<short>();
    reader.Take<short>();
    layout.cx = reader.Take<short>();
    layout.cy = reader.Take<short>();
    reader.SkipNameOrOrdinal(); // menu
    reader.SkipNameOrOrdinal(); // window class
    reader.SkipNameOrOrdinal(); // title
    if ((style & DS_SETFONT) != 0) {
        layout.hasFont = true;
        layout.pointSize = reader.Take<WORD>();
        if (extended) {
            layout.weight = reader.Take<WORD>();
            layout.italic = reader.Take<BYTE>();
            reader.Take<BYTE>(); // character set
        }
        layout.face = reader.TakeString();
    }
    return reader.ok();
}

// The dialog base units of a template font, measured as the dialog manager
// does: the average width of the Latin letters and the font's height.
bool FontBaseUnits(const TemplateLayout& layout, LONG& baseX, LONG& baseY) noexcept {
    HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) {
        return false;
    }
    common::UniqueGdiObject font(::CreateFontW(
        -::MulDiv(layout.pointSize, ::GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0,
        layout.weight, layout.italic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FF_DONTCARE, layout.face.c_str()));
    bool measured = false;
    if (font) {
        common::SelectObjectScope selected(screen, font.get());
        static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        TEXTMETRICW metrics = {};
        SIZE extent = {};
        if (::GetTextMetricsW(screen, &metrics) &&
            ::GetTextExtentPoint32W(screen, kLetters, 52, &extent)) {
            baseX = (extent.cx / 26 + 1) / 2;
            baseY = metrics.tmHeight;
            measured = baseX > 0 && baseY > 0;
        }
    }
    ::ReleaseDC(nullptr, screen);
    return measured;
}

// A copy of string `id` of the module's string table for a caller that frees
// it with CoTaskMemFree; null when there is no such string. False when the
// copy could not be allocated.
bool TaskString(UINT id, LPOLESTR* out) noexcept {
    *out = nullptr;
    if (id == 0) {
        return true;
    }
    const wchar_t* text = nullptr;
    // A length of 0 answers the string table's own read-only copy.
    const int length = ::LoadStringW(module::Instance(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) {
        return true;
    }
    const size_t bytes = (static_cast<size_t>(length) + 1) * sizeof(wchar_t);
    *out = static_cast<LPOLESTR>(::CoTaskMemAlloc(bytes));
    if (*out == nullptr) {
        return false;
    }
    std::memcpy(*out, text, bytes - sizeof(wchar_t));
    (*out)[length] = L'\0';
    return true;
}

} // namespace

SIZE DialogTemplateSize(UINT dialog) noexcept {
    SIZE size = {};
    HINSTANCE instance = module::Instance();
    HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(dialog), RT_DIALOG);
    if (found == nullptr) {
        return size;
    }
    HGLOBAL loaded = ::LoadResource(instance, found);
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    TemplateLayout layout;
    if (data == nullptr ||
        !ReadTemplate(static_cast<const BYTE*>(data), ::SizeofResource(instance, found), layout)) {
        return size;
    }
    LONG baseX = 0;
    LONG baseY = 0;
    if (!layout.hasFont || !FontBaseUnits(layout, baseX, baseY)) {
        const LONG units = ::GetDialogBaseUnits();
        baseX = LOWORD(units);
        baseY = HIWORD(units);
    }
    size.cx = ::MulDiv(layout.cx, baseX, 4);
    size.cy = ::MulDiv(layout.cy, baseY, 8);
    return size;
}

PropertyPage::~PropertyPage() {
    // The window goes after the page is no longer whole: it must not reach it.
    if (window_) {
        ::SetWindowLongPtrW(window_.get(), DWLP_USER, 0);
    }
}

HRESULT PropertyPage::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IPropertyPage || iid == IID_IPropertyPage2) {
        *object = static_cast<IPropertyPage2*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG PropertyPage::AddRef() {
    return ::InterlockedIncrement(&refs_);
}

ULONG PropertyPage::Release() {
    const LONG left = ::InterlockedDecrement(&refs_);
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT PropertyPage::SetPageSite(IPropertyPageSite* site) {
    if (site == nullptr) {
        site_.reset();
        return S_OK;
    }
    // A frame gives a page one site, and takes it back before another.
    if (site_) {
        return E_UNEXPECTED;
    }
    site_ = common::ComPtr<IPropertyPageSite>(site);
    return S_OK;
}

INT_PTR CALLBACK PropertyPage::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        // The frame decides where the focus goes.
        return FALSE;
    }
    // A click on one of the page's buttons changes what Apply would write:
    // the frame must know, or it never applies the page.
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && lParam != 0) {
        auto* page = reinterpret_cast<PropertyPage*>(::GetWindowLongPtrW(window, DWLP_USER));
        if (page != nullptr) {
            page->SetDirty(true);
        }
    }
    return FALSE;
}

HRESULT PropertyPage::Activate(HWND parent, LPCRECT rect, BOOL) {
    if (rect == nullptr) {
        return E_POINTER;
    }
    if (window_) {
        return E_UNEXPECTED;
    }
    HWND window = ::CreateDialogParamW(module::Instance(), MAKEINTRESOURCEW(class_.dialog), parent,
                                       &PropertyPage::DialogProc, reinterpret_cast<LPARAM>(this));
    if (window == nullptr) {
        const DWORD error = ::GetLastError();
        return error != 0 ? HRESULT_FROM_WIN32(error) : E_FAIL;
    }
    window_.reset(window);
    dirty_ = false;
    return Move(rect);
}

HRESULT PropertyPage::Deactivate() {
    if (window_) {
        ::SetWindowLongPtrW(window_.get(), DWLP_USER, 0);
    }
    window_.reset();
    // What was changed in the controls went with them.
    dirty_ = false;
    return S_OK;
}

HRESULT PropertyPage::GetPageInfo(PROPPAGEINFO* info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    PROPPAGEINFO filled = {};
    filled.cb = sizeof(PROPPAGEINFO);
    filled.size = DialogTemplateSize(class_.dialog);
    filled.dwHelpContext = class_.helpContext;
    if (!TaskString(class_.title, &filled.pszTitle) ||
        !TaskString(class_.docString, &filled.pszDocString) ||
        !TaskString(class_.helpFile, &filled.pszHelpFile)) {
        ::CoTaskMemFree(filled.pszTitle);
        ::CoTaskMemFree(filled.pszDocString);
        ::CoTaskMemFree(filled.pszHelpFile);
        return E_OUTOFMEMORY;
    }
    *info = filled;
    return S_OK;
}

HRESULT PropertyPage::SetObjects(ULONG count, IUnknown** objects) {
    if (count > 0 && objects == nullptr) {
        return E_POINTER;
    }
    try {
        std::vector<common::ComPtr<IUnknown>> selected;
        selected.reserve(count);
        for (ULONG i = 0; i < count; ++i) {
            if (objects[i] == nullptr) {
                return E_POINTER;
            }
            selected.emplace_back(objects[i]);
        }
        objects_.swap(selected);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    // Changes made for the earlier selection are not this one's.
    dirty_ = false;
    return S_OK;
}

HRESULT PropertyPage::Show(UINT command) {
    // A page with changes not yet applied keeps them when the frame hides
    // it and shows it again.
    if (!dirty_) {
        HRESULT hr = S_OK;
        try {
            hr = LoadFromObjects();
        } catch (...) {
            hr = E_FAIL;
        }
        if (FAILED(hr)) {
            return hr;
        }
    }
    if (!window_) {
        return E_UNEXPECTED;
    }
    ::ShowWindow(window_.get(), static_cast<int>(command));
    return S_OK;
}

HRESULT PropertyPage::Move(LPCRECT rect) {
    if (rect == nullptr) {
        return E_POINTER;
    }
    if (!window_) {
        return E_UNEXPECTED;
    }
    ::SetWindowPos(window_.get(), nullptr, rect->left, rect->top, rect->right - rect->left,
                   rect->bottom - rect->top, SWP_NOZORDER | SWP_NOACTIVATE);
    return S_OK;
}

HRESULT PropertyPage::IsPageDirty() {
    return dirty_ ? S_OK : S_FALSE;
}

HRESULT PropertyPage::Apply() {
    HRESULT hr = S_OK;
    try {
        hr = ApplyToObjects();
    } catch (...) {
        hr = E_FAIL;
    }
    if (SUCCEEDED(hr)) {
        SetDirty(false);
    }
    return hr;
}

HRESULT PropertyPage::Help(LPCOLESTR) {
    // The frame offers the help file of the page information itself.
    return E_NOTIMPL;
}

HRESULT PropertyPage::TranslateAccelerator(MSG* msg) {
    if (msg == nullptr) {
        return E_POINTER;
    }
    if (window_ && ::IsDialogMessageW(window_.get(), msg)) {
        return S_OK;
    }
    return S_FALSE;
}

HRESULT PropertyPage::EditProperty(DISPID) {
    return E_NOTIMPL;
}

void PropertyPage::SetDirty(bool dirty) noexcept {
    const bool changed = dirty && !dirty_;
    dirty_ = dirty;
    if (changed && site_) {
        site_->OnStatusChange(PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE);
    }
}

} // namespace frame
