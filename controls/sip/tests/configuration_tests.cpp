// The keyboard's configuration through IKeyboardVorp, with no panel live.
#include <windows.h>

#include <gtest/gtest.h>

#include "sip_fixture.h"
#include "testsupport/registry_checks.h"

namespace {

using Configuration = KeyboardTest;

const wchar_t kKeyboardKey[] = L"CLSID\\{CDF70A2A-A830-4F9A-8765-2EF20504AA31}";

TEST_F(Configuration, EverySettingHasItsDefaultWithoutConfiguration) {
    auto keyboard = NewKeyboard();
    short rows = 0;
    short cols = 0;
    ASSERT_EQ(keyboard->get_Rows(&rows), S_OK);
    ASSERT_EQ(keyboard->get_Cols(&cols), S_OK);
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(cols, 5);
    ULONG colour = 0;
    keyboard->get_TextColor(&colour);
    EXPECT_EQ(colour, ::GetSysColor(COLOR_BTNTEXT));
    keyboard->get_BackColor(&colour);
    EXPECT_EQ(colour, 0xFFFFFFu);
    SipStyle style = StyleCustom;
    keyboard->get_Style(&style);
    EXPECT_EQ(style, StyleInteger);
    SipAlign align = AlignLeft;
    keyboard->get_Align(&align);
    EXPECT_EQ(align, AlignRight);
    BOOL flat = 0;
    keyboard->get_FlatLook(&flat);
    EXPECT_EQ(flat, -1);

    EXPECT_EQ(keyboard->get_Rows(nullptr), E_POINTER);
    EXPECT_EQ(keyboard->get_Title(nullptr), E_POINTER);
    EXPECT_EQ(keyboard->get_ImageWide(nullptr), E_POINTER);
}

TEST_F(Configuration, PutsStoreTheirValuesSignExtended) {
    auto keyboard = NewKeyboard();
    ASSERT_EQ(keyboard->put_Rows(-2), S_OK);
    EXPECT_EQ(ConfigDword(L"Rows"), 0xFFFFFFFEu);
    short rows = 0;
    keyboard->get_Rows(&rows);
    EXPECT_EQ(rows, -2);
    ASSERT_EQ(keyboard->put_Cols(7), S_OK);
    EXPECT_EQ(ConfigDword(L"Cols"), 7u);
    ASSERT_EQ(keyboard->put_FlatLook(-1), S_OK);
    EXPECT_EQ(ConfigDword(L"Flat"), 0xFFFFFFFFu);
    ASSERT_EQ(keyboard->put_FlatLook(0), S_OK);
    BOOL flat = -1;
    keyboard->get_FlatLook(&flat);
    EXPECT_EQ(flat, 0);
    ASSERT_EQ(keyboard->put_TextColor(0x80000012), S_OK);
    EXPECT_EQ(ConfigDword(L"TextColor"), 0x80000012u);
    ASSERT_EQ(keyboard->put_Align(AlignCenter), S_OK);
    EXPECT_EQ(ConfigDword(L"Align"), 2u);
    ASSERT_EQ(keyboard->put_Style(StyleAlpha), S_OK);
    EXPECT_EQ(ConfigDword(L"KeyStyle"), 2u);

    // Another object, as in another process, reads the same configuration.
    auto other = NewKeyboard();
    SipStyle style = StyleInteger;
    other->get_Style(&style);
    EXPECT_EQ(style, StyleAlpha);
}

TEST_F(Configuration, SetKeyChecksTheIndexAgainstTheConfiguredGrid) {
    auto keyboard = NewKeyboard();
    common::UniqueBstr label(L"F1");
    common::UniqueBstr text(L"help");
    EXPECT_EQ(keyboard->SetKey(16, label.get(), text.get(), KeyUse), E_INVALIDARG);
    EXPECT_EQ(keyboard->SetKey(0, label.get(), text.get(), KeyUse), E_INVALIDARG);
    EXPECT_EQ(ConfigDword(L"KeyStyle"), 0xFFFFFFFFu) << "a refused key changes nothing";

    ASSERT_EQ(keyboard->SetKey(15, label.get(), text.get(), KeyUse), S_OK);
    EXPECT_EQ(ConfigDword(L"KeyStyle"), 4u) << "custom, even with no panel live";
    // With no panel to hold it, the key goes into the custom keys.
    EXPECT_EQ(ConfigString(L"keydisp15"), L"F1");
    EXPECT_EQ(ConfigString(L"keycode15"), L"help");
    EXPECT_EQ(ConfigDword(L"keyuse15"), 1u);
}

TEST_F(Configuration, GridsOfMoreThanFortyCellsStopAtTheFortiethKey) {
    auto keyboard = NewKeyboard();
    keyboard->put_Rows(7);
    keyboard->put_Cols(7);
    common::UniqueBstr label(L"K");
    EXPECT_EQ(keyboard->SetKey(40, label.get(), label.get(), KeyUse), S_OK);
    EXPECT_EQ(keyboard->SetKey(41, label.get(), label.get(), KeyUse), E_INVALIDARG);
    EXPECT_EQ(keyboard->SetKey(49, label.get(), label.get(), KeyUse), E_INVALIDARG);
    EXPECT_EQ(ConfigString(L"keydisp41"), L"<missing>");
}

TEST_F(Configuration, SetKeyCutsTheLabelToSevenAndTheTextToThirtyOne) {
    auto keyboard = NewKeyboard();
    common::UniqueBstr label(L"ABCDEFGHIJ");
    common::UniqueBstr text(L"0123456789012345678901234567890123456789");
    ASSERT_EQ(
        keyboard->SetKey(1, label.get(), text.get(), static_cast<SipKeyUse>(KeyLong | KeyEvent)),
        S_OK);
    EXPECT_EQ(ConfigString(L"keydisp1"), L"ABCDEFG");
    EXPECT_EQ(ConfigString(L"keycode1"), L"0123456789012345678901234567890");
    EXPECT_EQ(ConfigDword(L"keyuse1"), 35u);
}

TEST_F(Configuration, TitleFallsBackToTheDisplayNameAndThenToTheLibraryName) {
    auto keyboard = NewKeyboard();
    common::UniqueBstr title;
    ASSERT_EQ(keyboard->get_Title(title.put()), S_OK);
    EXPECT_EQ(title.view(), L"KeyboardVorp") << "the class key's name after registration";

    common::UniqueBstr renamed(L"Numbers");
    ASSERT_EQ(keyboard->put_Title(renamed.get()), S_OK);
    EXPECT_EQ(testsupport::ClassesValue(kKeyboardKey), L"Numbers");
    ASSERT_EQ(keyboard->get_Title(title.put()), S_OK);
    EXPECT_EQ(title.view(), L"Numbers");

    // Without the class key's name: "DisplayName", then the library's name.
    common::UniqueKey key;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CLASSES_ROOT, kKeyboardKey, 0, KEY_ALL_ACCESS, key.put()),
              ERROR_SUCCESS);
    ::RegDeleteValueW(key.get(), nullptr);
    SetConfigString(L"DisplayName", L"Pad");
    ASSERT_EQ(keyboard->get_Title(title.put()), S_OK);
    EXPECT_EQ(title.view(), L"Pad");
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Vorpel\\SipVorpel", L"DisplayName");
    ASSERT_EQ(keyboard->get_Title(title.put()), S_OK);
    EXPECT_EQ(title.view(), L"SipVorpel") << "not the name read before";
}

TEST_F(Configuration, ClassKeyStringsReadBackExactlyAndDefaultWhenMissing) {
    auto keyboard = NewKeyboard();
    common::UniqueBstr text;
    ASSERT_EQ(keyboard->get_ImageNarrow(text.put()), S_OK);
    EXPECT_EQ(text.view(), L"");
    ASSERT_EQ(keyboard->get_DefaultIcon(text.put()), S_OK);
    EXPECT_NE(text.view(), L"") << "registration names the library's icon";

    common::UniqueBstr narrow(L"\\Windows\\narrow.bmp");
    common::UniqueBstr wide(L"\\Windows\\wide.bmp");
    common::UniqueBstr about(L"Pad of  spaced  keys ");
    common::UniqueBstr icon(L"\\Windows\\pad.dll,3");
    ASSERT_EQ(keyboard->put_ImageNarrow(narrow.get()), S_OK);
    ASSERT_EQ(keyboard->put_ImageWide(wide.get()), S_OK);
    ASSERT_EQ(keyboard->put_AboutDescription(about.get()), S_OK);
    ASSERT_EQ(keyboard->put_DefaultIcon(icon.get()), S_OK);
    keyboard->get_ImageNarrow(text.put());
    EXPECT_EQ(text.view(), narrow.view());
    keyboard->get_ImageWide(text.put());
    EXPECT_EQ(text.view(), wide.view());
    keyboard->get_AboutDescription(text.put());
    EXPECT_EQ(text.view(), about.view());
    keyboard->get_DefaultIcon(text.put());
    EXPECT_EQ(text.view(), icon.view());
    EXPECT_EQ(testsupport::ClassesValue(std::wstring(kKeyboardKey), L"ImageWide"), wide.view());

    // A missing description gives the fixed text; a missing subkey is made again.
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(kKeyboardKey) + L"\\DefaultIcon").c_str());
    ::RegDeleteKeyValueW(HKEY_CLASSES_ROOT, kKeyboardKey, L"Desc");
    keyboard->get_AboutDescription(text.put());
    EXPECT_NE(text.view(), L"");
    keyboard->get_DefaultIcon(text.put());
    EXPECT_EQ(text.view(), L"");
    ASSERT_EQ(keyboard->put_DefaultIcon(icon.get()), S_OK);
    keyboard->get_DefaultIcon(text.put());
    EXPECT_EQ(text.view(), icon.view());
}

} // namespace
