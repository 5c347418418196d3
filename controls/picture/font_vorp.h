// FontVorp: one font for the script. Its only state is the font handle:
// every property reads or edits that font's logical description.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "OleVorpel.h"
#include "common/handle.h"
#include "frame/object.h"

// One whole-number property of the font (the flags, weight and character
// set): its DISPID, how it reads the description and how it edits it.
struct FontField {
    DISPID id;
    int (*read)(const LOGFONTW& font);
    void (*write)(LOGFONTW& font, int value);
};

class FontVorp final : public frame::Object<FontVorp, IFontVorp>,
                       public IPersistStreamInit,
                       public IPersistStorage {
public:
    static const frame::ObjectClass& Class();
    FontVorp();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefObject(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseObject(); }

    // IFontVorp
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Name(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Size(CY* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Size(CY newVal) override;
    HRESULT STDMETHODCALLTYPE get_Bold(BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Bold(BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_Italic(BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Italic(BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_Underline(BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Underline(BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_Strikethrough(BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Strikethrough(BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_Weight(INT* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Weight(INT newVal) override;
    HRESULT STDMETHODCALLTYPE get_Charset(INT* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Charset(INT newVal) override;
    HRESULT STDMETHODCALLTYPE get_hFont(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE Clone(IFontVorp** ppfont) override;
    HRESULT STDMETHODCALLTYPE IsEqual(IFontVorp* pfontOther) override;

    // IPersist, IPersistStreamInit, IPersistStorage
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(IStream* stream) override;
    HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
    HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Load(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL sameAsLoad) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE HandsOffStorage() override;

private:
    // The description of the font held, or the default one.
    LOGFONTW Description() const noexcept;
    // Replaces the font with one of `font` unless it equals the current one.
    HRESULT Change(const LOGFONTW& font, DISPID id) noexcept;
    HRESULT Replace(const LOGFONTW& font, DISPID id, bool notify) noexcept;
    HRESULT GetField(const FontField& field, int* value) const noexcept;
    HRESULT PutField(const FontField& field, int value) noexcept;

    frame::ConnectionPoint propertyNotify_;
    common::UniqueGdiObject font_;
    bool dirty_ = true;
};

// The screen's vertical logical pixels per inch.
int ScreenPixelsPerInch() noexcept;
// The font's default description.
LOGFONTW DefaultFontDescription() noexcept;
