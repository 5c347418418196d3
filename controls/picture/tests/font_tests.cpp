// The font object: its description lives in the font handle it owns.
#include <cstring>

#include <gtest/gtest.h>

#include "picture_fixture.h"

namespace {

class Font : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegisterPictureServer(), S_OK);
        ASSERT_EQ(::CoCreateInstance(CLSID_FontVorp, nullptr, CLSCTX_INPROC_SERVER, IID_IFontVorp,
                                     font_.put_void()),
                  S_OK);
        common::WindowDc screen(nullptr);
        perInch_ = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    LONG Handle() {
        LONG handle = 0;
        font_->get_hFont(&handle);
        return handle;
    }

    common::ComApartment apartment_;
    common::ComPtr<IFontVorp> font_;
    int perInch_ = 96;
};

TEST_F(Font, ANewFontIsEightPointTahomaRoundedToPixels) {
    EXPECT_NE(Handle(), 0);
    common::UniqueBstr name;
    ASSERT_EQ(font_->get_Name(name.put()), S_OK);
    EXPECT_EQ(name.view(), L"Tahoma");
    INT weight = 0;
    BOOL bold = -1;
    font_->get_Weight(&weight);
    font_->get_Bold(&bold);
    EXPECT_EQ(weight, 400);
    EXPECT_EQ(bold, 0);
    CY size{};
    ASSERT_EQ(font_->get_Size(&size), S_OK);
    const LONGLONG pixels = std::max(1, 8 * perInch_ / 72);
    EXPECT_EQ(size.int64, pixels * 720000 / perInch_); // 75000 at 96 per inch
    EXPECT_EQ(font_->get_Size(nullptr), E_POINTER);
}

TEST_F(Font, APutThatChangesNothingKeepsTheHandle) {
    const LONG before = Handle();
    ASSERT_EQ(font_->put_Bold(FALSE), S_OK);
    EXPECT_EQ(Handle(), before);
}

// Each flag edits its own field only: any non-zero value is true, read
// back as -1, and setting it again changes nothing.
TEST_F(Font, EachFlagIsItsOwnField) {
    using Get = HRESULT (STDMETHODCALLTYPE IFontVorp::*)(BOOL*);
    using Put = HRESULT (STDMETHODCALLTYPE IFontVorp::*)(BOOL);
    const struct {
        const char* name;
        Get get;
        Put put;
    } flags[] = {{"Italic", &IFontVorp::get_Italic, &IFontVorp::put_Italic},
                 {"Underline", &IFontVorp::get_Underline, &IFontVorp::put_Underline},
                 {"Strikethrough", &IFontVorp::get_Strikethrough, &IFontVorp::put_Strikethrough}};
    for (const auto& flag : flags) {
        SCOPED_TRACE(flag.name);
        ASSERT_EQ((font_.get()->*flag.put)(5), S_OK);
        BOOL value = 0;
        ASSERT_EQ((font_.get()->*flag.get)(&value), S_OK);
        EXPECT_EQ(value, -1);
        for (const auto& other : flags) {
            if (&other != &flag) {
                (font_.get()->*other.get)(&value);
                EXPECT_EQ(value, 0) << other.name;
            }
        }
        const LONG before = Handle();
        ASSERT_EQ((font_.get()->*flag.put)(-1), S_OK);
        EXPECT_EQ(Handle(), before);
        ASSERT_EQ((font_.get()->*flag.put)(0), S_OK);
        (font_.get()->*flag.get)(&value);
        EXPECT_EQ(value, 0);
        EXPECT_EQ((font_.get()->*flag.get)(nullptr), E_POINTER);
    }
}

TEST_F(Font, WeightAndBoldFollowEachOther) {
    ASSERT_EQ(font_->put_Weight(600), S_OK);
    BOOL bold = 0;
    font_->get_Bold(&bold);
    EXPECT_EQ(bold, -1);
    ASSERT_EQ(font_->put_Bold(FALSE), S_OK);
    INT weight = 0;
    font_->get_Weight(&weight);
    EXPECT_EQ(weight, 400);
    ASSERT_EQ(font_->put_Bold(5), S_OK);
    font_->get_Weight(&weight);
    EXPECT_EQ(weight, 700);
}

TEST_F(Font, ANameInOtherLetterCaseIsANewFontAndTheOldHandleGoes) {
    const LONG before = Handle();
    const HGDIOBJ old = reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(before));
    ASSERT_EQ(font_->put_Name(common::UniqueBstr(L"TAHOMA").get()), S_OK);
    EXPECT_NE(Handle(), before);
    EXPECT_EQ(::GetObjectType(old), 0u) << "the previous font handle was not deleted";
    common::UniqueBstr name;
    font_->get_Name(name.put());
    EXPECT_EQ(name.view(), L"TAHOMA");
}

TEST_F(Font, LongNamesAreCutToTheFaceNameField) {
    ASSERT_EQ(font_->put_Name(common::UniqueBstr(std::wstring(40, L'x')).get()), S_OK);
    common::UniqueBstr name;
    font_->get_Name(name.put());
    EXPECT_EQ(name.view(), std::wstring(31, L'x'));
}

TEST_F(Font, CharsetKeepsItsLowEightBits) {
    ASSERT_EQ(font_->put_Charset(256), S_OK);
    INT charset = -1;
    font_->get_Charset(&charset);
    EXPECT_EQ(charset, 0);
}

TEST_F(Font, SizeIsConvertedThroughWholePixels) {
    CY size{};
    size.int64 = 82500; // 8.25 points
    ASSERT_EQ(font_->put_Size(size), S_OK);
    CY read{};
    font_->get_Size(&read);
    const LONGLONG pixels = 82500LL * perInch_ / 720000;
    EXPECT_EQ(read.int64, pixels * 720000 / perInch_);
}

TEST_F(Font, CloneCopiesTheDescriptionIntoAFontOfItsOwn) {
    font_->put_Italic(TRUE);
    font_->put_Name(common::UniqueBstr(L"Courier New").get());
    common::ComPtr<IFontVorp> copy;
    ASSERT_EQ(font_->Clone(copy.put()), S_OK);
    EXPECT_EQ(font_->Clone(nullptr), E_POINTER);
    common::UniqueBstr name;
    copy->get_Name(name.put());
    EXPECT_EQ(name.view(), L"Courier New");
    BOOL italic = 0;
    copy->get_Italic(&italic);
    EXPECT_EQ(italic, -1);
    LONG theirs = 0;
    copy->get_hFont(&theirs);
    EXPECT_NE(theirs, Handle());
    EXPECT_EQ(font_->IsEqual(copy.get()), E_NOTIMPL);
}

TEST_F(Font, PersistenceRoundTripsTheDescription) {
    font_->put_Name(common::UniqueBstr(L"Arial").get());
    font_->put_Underline(TRUE);
    font_->put_Strikethrough(TRUE);
    font_->put_Weight(800);
    font_->put_Charset(2);
    auto persist = font_.as<IPersistStreamInit>();
    ASSERT_TRUE(persist);
    common::ComPtr<IStream> stream;
    ASSERT_EQ(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
    ASSERT_EQ(persist->Save(stream.get(), TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    // After the format word the name comes first: a font keeps no extent.
    HGLOBAL memory = nullptr;
    ASSERT_EQ(::GetHGlobalFromStream(stream.get(), &memory), S_OK);
    const auto* bytes = static_cast<const BYTE*>(::GlobalLock(memory));
    VARTYPE first = VT_EMPTY;
    std::memcpy(&first, bytes + sizeof(DWORD), sizeof(first));
    ::GlobalUnlock(memory);
    EXPECT_EQ(first, VT_BSTR);

    common::ComPtr<IFontVorp> loaded;
    ASSERT_EQ(::CoCreateInstance(CLSID_FontVorp, nullptr, CLSCTX_INPROC_SERVER, IID_IFontVorp,
                                 loaded.put_void()),
              S_OK);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(loaded.as<IPersistStreamInit>()->Load(stream.get()), S_OK);
    common::UniqueBstr name;
    loaded->get_Name(name.put());
    EXPECT_EQ(name.view(), L"Arial");
    BOOL underline = 0, strike = 0;
    INT weight = 0, charset = 0;
    loaded->get_Underline(&underline);
    loaded->get_Strikethrough(&strike);
    loaded->get_Weight(&weight);
    loaded->get_Charset(&charset);
    EXPECT_EQ(underline, -1);
    EXPECT_EQ(strike, -1);
    EXPECT_EQ(weight, 800);
    EXPECT_EQ(charset, 2);
}

} // namespace
