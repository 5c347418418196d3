// The keyboard panel loaded by the terminal's SIP manager: layouts, geometry
// and typing with the pen.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sip.h"
#include "sip_fixture.h"

namespace {

class KeyboardPanel : public KeyboardTest {
protected:
    // Loads and shows the panel and gives an edit box the focus.
    void ShowPanel() {
        SelectKeyboard();
        ShowSip(true);
        FocusedEdit();
        RECT client = {};
        ::GetClientRect(Panel(), &client);
        ASSERT_EQ(client.right, 240) << "the panel fills the SIP window";
        ASSERT_EQ(client.bottom, 80);
    }
    std::wstring Typed(POINT at) {
        Tap(at);
        return EditText();
    }
};

// A window that keeps the characters it is sent, carriage returns too.
std::wstring g_received;
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR) {
        g_received += static_cast<wchar_t>(wParam);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(KeyboardPanel, PanelIsAVisibleChildOfTheSipWindowMadeFromTheBlankPage) {
    SelectKeyboard();
    HWND panel = Panel();
    EXPECT_EQ(::GetParent(panel), SipWindow());
    EXPECT_NE(::GetWindowLongPtrW(panel, GWL_STYLE) & WS_CHILD, 0);
    EXPECT_TRUE(::GetWindowLongPtrW(panel, GWL_STYLE) & WS_VISIBLE);
    wchar_t name[16] = {};
    ::GetClassNameW(panel, name, 16);
    EXPECT_STREQ(name, L"#32770");
    TerminalResetSip();
    EXPECT_FALSE(::IsWindow(panel)) << "deselecting destroys it";
}

TEST_F(KeyboardPanel, WithoutConfigurationTheIntegerLayoutIsRightAlignedAndTypes) {
    ShowPanel();
    // 3 × 5 cells of 48 × 26 fill the width exactly; rows start at y = 1.
    const wchar_t* expected[3][5] = {{L"7", L"8", L"9", L"0", L"\b"},
                                     {L"4", L"5", L"6", nullptr, nullptr},
                                     {L"1", L"2", L"3", L"\r", L"\r"}};
    g_received.clear();
    WNDCLASSW cls = {};
    cls.lpfnWndProc = RecordingProc;
    cls.hInstance = ::GetModuleHandleW(nullptr);
    cls.lpszClassName = L"SipTestRecorder";
    ::RegisterClassW(&cls);
    common::UniqueWindow recorder(::CreateWindowExW(0, L"SipTestRecorder", L"", WS_OVERLAPPEDWINDOW,
                                                    0, 0, 50, 50, nullptr, nullptr, cls.hInstance,
                                                    nullptr));
    ::ShowWindow(recorder.get(), SW_SHOW);
    ::SetFocus(recorder.get());
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 5; ++col) {
            g_received.clear();
            Tap(CellCentre(row, col));
            EXPECT_EQ(g_received, expected[row][col] != nullptr ? expected[row][col] : L"")
                << "row " << row << " column " << col;
        }
    }
    // The last pixel column and row of a cell belong to no key.
    g_received.clear();
    Tap({47, 10});
    EXPECT_EQ(g_received, L"");
    Tap({46, 26});
    EXPECT_EQ(g_received, L"");
    Tap({46, 25});
    EXPECT_EQ(g_received, L"7");
}

TEST_F(KeyboardPanel, KeyUnderThePenWhenItIsLiftedTypes) {
    ShowPanel();
    Tap(CellCentre(0, 0), CellCentre(0, 1));
    EXPECT_EQ(EditText(), L"8");
    // Lifted off every key: nothing.
    Tap(CellCentre(0, 0), CellCentre(1, 4));
    EXPECT_EQ(EditText(), L"8");
    Tap(CellCentre(2, 1));
    Tap(CellCentre(0, 4)); // backspace
    EXPECT_EQ(EditText(), L"8");
}

TEST_F(KeyboardPanel, EachTapOfADoubleTapTypesOnce) {
    ShowPanel();
    const POINT seven = CellCentre(0, 0);
    const LPARAM at = MAKELPARAM(seven.x, seven.y);
    ::SendMessageW(Panel(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(Panel(), WM_LBUTTONUP, 0, at);
    ::SendMessageW(Panel(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::SendMessageW(Panel(), WM_LBUTTONUP, 0, at);
    Pump();
    EXPECT_EQ(EditText(), L"77");
}

TEST_F(KeyboardPanel, StyleChangesTheLivePanelAtOnce) {
    ShowPanel();
    auto keyboard = NewKeyboard();
    ASSERT_EQ(keyboard->put_Style(StyleAlpha), S_OK);
    // 3 × 9 cells of 26 pixels, right-aligned: x0 = 240 - 234 = 6.
    Tap({6 + 13, 14});
    Tap({6 + 26 * 8 + 13, 1 + 26 * 2 + 13}); // the 27th: backspace
    Tap({6 + 26 * 8 + 13, 1 + 26 + 13});     // R
    EXPECT_EQ(EditText(), L"R");

    // Back to integers: only the first 15 cells are in use.
    ASSERT_EQ(keyboard->put_Style(StyleInteger), S_OK);
    Tap(CellCentre(0, 2));
    EXPECT_EQ(EditText(), L"R9");
    // Growing the grid shows no key of the alpha layout.
    ASSERT_EQ(keyboard->put_Rows(6), S_OK);
    Tap({24, 1 + 13 * 5 + 6});
    EXPECT_EQ(EditText(), L"R9");
}

TEST_F(KeyboardPanel, FloatAndCalculatorLayouts) {
    ShowPanel();
    auto keyboard = NewKeyboard();
    keyboard->put_Style(StyleFloat);
    Tap(CellCentre(1, 3));
    Tap(CellCentre(1, 4));
    EXPECT_EQ(EditText(), L".-");
    keyboard->put_Style(StyleCalculator);
    // 3 × 6 cells of 40 pixels.
    Tap(CellCentre(0, 4, 40));
    Tap(CellCentre(1, 4, 40));
    Tap(CellCentre(2, 3, 40));
    EXPECT_EQ(EditText(), L".-/*+");
}

TEST_F(KeyboardPanel, AlignmentPlacesTheGridAndTheViewIsCentredVertically) {
    // 7 columns of 34 pixels leave 2 spare; 4 rows of 20 leave none.
    SetConfigDword(L"KeyStyle", 4);
    SetConfigDword(L"Rows", 4);
    SetConfigDword(L"Cols", 7);
    SetConfigString(L"keydisp1", L"a");
    SetConfigString(L"keycode1", L"a");
    SetConfigDword(L"Align", 0);
    ShowPanel();
    Tap({0, 0});
    EXPECT_EQ(EditText(), L"a");
    Tap({33, 0});
    EXPECT_EQ(EditText(), L"a") << "right edge of a 34-pixel key";

    auto keyboard = NewKeyboard();
    keyboard->put_Align(AlignCenter); // reaches the panel at the next showing
    Tap({0, 0});
    EXPECT_EQ(EditText(), L"aa");
    ShowSip(false);
    ShowSip(true);
    Tap({0, 0});
    EXPECT_EQ(EditText(), L"aa") << "centred: the grid starts at x = 1";
    Tap({1, 0});
    EXPECT_EQ(EditText(), L"aaa");
}

TEST_F(KeyboardPanel, CustomKeysComeFromTheConfigurationWithTallAndDisabledKeys) {
    SetConfigDword(L"KeyStyle", 4);
    SetConfigDword(L"Rows", 2);
    SetConfigDword(L"Cols", 2);
    SetConfigString(L"keydisp1", L"Tall");
    SetConfigString(L"keycode1", L"t");
    SetConfigDword(L"keyuse1", 2);
    SetConfigString(L"keydisp2", L"Off");
    SetConfigString(L"keycode2", L"o");
    SetConfigDword(L"keyuse2", 16 + 1);
    SetConfigString(L"keydisp4", L"No");
    SetConfigString(L"keycode4", L"n");
    SetConfigDword(L"keyuse4", 0);
    ShowPanel();
    // 2 × 2 cells of 120 × 40.
    Tap({60, 60});
    EXPECT_EQ(EditText(), L"t") << "the tall key covers the cell below it";
    Tap({180, 20});
    EXPECT_EQ(EditText(), L"to") << "a disabled key still types";
    Tap({180, 60});
    EXPECT_EQ(EditText(), L"to") << "a key of no use is absent";
}

TEST_F(KeyboardPanel, CustomKeysLoadedFromTheConfigurationAreCutToTheirRecord) {
    SetConfigDword(L"KeyStyle", 4);
    SetConfigString(L"keydisp1", L"ABCDEFGHIJ");
    SetConfigString(L"keycode1", L"0123456789012345678901234567890123456789");
    ShowPanel();
    Tap(CellCentre(0, 0));
    EXPECT_EQ(EditText(), L"0123456789012345678901234567890");

    // Saved again, the key is what the panel held.
    auto keyboard = NewKeyboard();
    common::UniqueBstr label(L"x");
    ASSERT_EQ(keyboard->SetKey(2, label.get(), label.get(), KeyUse), S_OK);
    ShowSip(false);
    EXPECT_EQ(ConfigString(L"keydisp1"), L"ABCDEFG");
    EXPECT_EQ(ConfigString(L"keycode1"), L"0123456789012345678901234567890");
    EXPECT_EQ(ConfigDword(L"keyuse1"), 1u) << "a missing use is a normal key";
}

TEST_F(KeyboardPanel, SetKeyChangesTheLivePanelAndHidingSavesTheKeys) {
    ShowPanel();
    auto keyboard = NewKeyboard();
    common::UniqueBstr label(L"Tab");
    common::UniqueBstr text(L"#!");
    ASSERT_EQ(keyboard->SetKey(9, label.get(), text.get(), KeyUse), S_OK);
    EXPECT_EQ(ConfigDword(L"KeyStyle"), 4u);
    Tap(CellCentre(1, 3));
    EXPECT_EQ(EditText(), L"#!");
    EXPECT_EQ(ConfigString(L"keydisp9"), L"<missing>") << "saved when the panel hides";

    ShowSip(false);
    EXPECT_EQ(ConfigString(L"keydisp9"), L"Tab");
    EXPECT_EQ(ConfigString(L"keydisp1"), L"7") << "the whole grid is saved";
    EXPECT_EQ(ConfigString(L"keycode5"), L"\b");
    EXPECT_EQ(ConfigDword(L"keyuse14"), 3u);
    EXPECT_EQ(ConfigDword(L"keyuse10"), 0u) << "an empty cell";
    EXPECT_EQ(ConfigString(L"keydisp16"), L"<missing>");

    // Shown again, the custom layout is the saved one.
    ShowSip(true);
    Tap(CellCentre(1, 3));
    Tap(CellCentre(0, 1));
    EXPECT_EQ(EditText(), L"#!#!8");
}

TEST_F(KeyboardPanel, GridOfMoreThanFortyCellsHasNoKeyPastTheFortieth) {
    // 6 × 8 cells of 30 × 13; the keys 41 to 48 do not exist.
    SetConfigDword(L"KeyStyle", 4);
    SetConfigDword(L"Rows", 6);
    SetConfigDword(L"Cols", 8);
    for (int n = 1; n <= 48; ++n) {
        SetConfigString((L"keydisp" + std::to_wstring(n)).c_str(), L"k");
        SetConfigString((L"keycode" + std::to_wstring(n)).c_str(), n <= 40 ? L"x" : L"!");
    }
    ShowPanel();
    Tap({15, 1 + 13 * 4 + 6});          // key 33
    Tap({15 + 30 * 7, 1 + 13 * 4 + 6}); // key 40
    Tap({15, 1 + 13 * 5 + 6});          // cell 41
    Tap({15 + 30 * 7, 1 + 13 * 5 + 6}); // cell 48
    EXPECT_EQ(EditText(), L"xx");

    // Saving writes no key past the fortieth either.
    auto keyboard = NewKeyboard();
    common::UniqueBstr label(L"y");
    ASSERT_EQ(keyboard->SetKey(40, label.get(), label.get(), KeyUse), S_OK);
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Vorpel\\SipVorpel", L"keydisp41");
    ShowSip(false);
    EXPECT_EQ(ConfigString(L"keydisp40"), L"y");
    EXPECT_EQ(ConfigString(L"keydisp41"), L"<missing>");
}

TEST_F(KeyboardPanel, InputMethodReportsItsInfoAndItsConfigurationObject) {
    SelectKeyboard();
    auto keyboard = NewKeyboard();
    auto method = keyboard.as<IInputMethod>(IID_IInputMethod);
    ASSERT_TRUE(method);

    IMINFO info = {};
    info.cbSize = 40 + 1;
    EXPECT_EQ(method->GetInfo(&info), E_INVALIDARG);
    EXPECT_EQ(method->GetInfo(nullptr), E_INVALIDARG);

    IKeyboardVorp* self = nullptr;
    EXPECT_EQ(method->GetImData(3, &self), E_FAIL);
    EXPECT_EQ(method->GetImData(sizeof(self), nullptr), E_FAIL);
    ASSERT_EQ(method->GetImData(sizeof(self), &self), S_OK);
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(self, keyboard.get());
    self->Release();
    EXPECT_EQ(method->SetImData(0, nullptr), S_OK);

    // The loaded one: docked, on while shown, over the SIP window.
    ShowSip(true);
    HWND sip = SipWindow();
    ASSERT_EQ(method->Select(sip), S_OK) << "a second Select clears the live panel first";
    info = {};
    info.cbSize = sizeof(IMINFO);
    ASSERT_EQ(method->GetInfo(&info), S_OK);
    EXPECT_EQ(info.fdwFlags, SIPF_DOCKED | SIPF_ON);
    EXPECT_NE(info.hImageNarrow, nullptr);
    EXPECT_NE(info.hImageWide, nullptr);
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(static_cast<HIMAGELIST>(info.hImageWide), &width, &height);
    EXPECT_EQ(width, 32);
    EXPECT_EQ(height, 16);
    RECT window = {};
    ::GetWindowRect(sip, &window);
    EXPECT_TRUE(::EqualRect(&window, &info.rcSipRect));
    EXPECT_EQ(method->Deselect(), S_OK);
    EXPECT_EQ(::GetWindow(sip, GW_CHILD), nullptr);
}

} // namespace
