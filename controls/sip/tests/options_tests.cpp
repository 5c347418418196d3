// The keyboard panel's options dialog, driven while it runs.
#include <windows.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "sip_fixture.h"

namespace {

constexpr int kNumeric = 201;
constexpr int kMoney = 202;
constexpr int kCalculator = 203;
constexpr int kAlpha = 204;
constexpr int kCustom = 205;
constexpr int kFlatLook = 206;

// What the test does with the dialog once it is up.
std::function<void(HWND)> g_drive;

BOOL CALLBACK FindOptions(HWND window, LPARAM found) {
    if (::GetDlgItem(window, kFlatLook) != nullptr) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindOptions, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) {
        return; // not up yet
    }
    ::KillTimer(nullptr, timer);
    g_drive(dialog);
}

HRESULT RunOptions(IInputMethod* method, std::function<void(HWND)> drive) {
    g_drive = std::move(drive);
    ::SetTimer(nullptr, 0, 10, DriveDialog);
    return method->UserOptionsDlg(nullptr);
}

std::wstring TextOf(HWND window) {
    wchar_t text[128] = {};
    ::GetWindowTextW(window, text, 128);
    return text;
}

using OptionsDialog = KeyboardTest;

TEST_F(OptionsDialog, ShowsTheCurrentStyleAndPutsTheChosenOneOnOk) {
    SetConfigDword(L"KeyStyle", 2);
    SetConfigDword(L"Flat", 1);
    auto keyboard = NewKeyboard();
    auto method = keyboard.as<IInputMethod>(IID_IInputMethod);
    std::wstring caption;
    std::wstring prompt;
    bool alphaChecked = false;
    bool flatChecked = false;
    bool customEnabled = true;
    std::vector<std::wstring> labels;
    ASSERT_EQ(
        RunOptions(
            method.get(),
            [&](HWND dialog) {
                caption = TextOf(dialog);
                prompt = TextOf(::FindWindowExW(dialog, nullptr, L"Static", nullptr));
                alphaChecked = ::IsDlgButtonChecked(dialog, kAlpha) == BST_CHECKED;
                flatChecked = ::IsDlgButtonChecked(dialog, kFlatLook) == BST_CHECKED;
                customEnabled = ::IsWindowEnabled(::GetDlgItem(dialog, kCustom));
                for (int id : {kNumeric, kMoney, kCalculator, kAlpha, kCustom, kFlatLook, IDOK}) {
                    labels.push_back(TextOf(::GetDlgItem(dialog, id)));
                }
                ::CheckRadioButton(dialog, kNumeric, kCustom, kCalculator);
                ::CheckDlgButton(dialog, kFlatLook, BST_UNCHECKED);
                ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
            }),
        S_OK);
    EXPECT_EQ(caption, L"SipVorpel") << "the display name as this object last knew it";
    EXPECT_EQ(prompt, L"Choose your KeyboardVorp style");
    EXPECT_TRUE(alphaChecked);
    EXPECT_TRUE(flatChecked);
    EXPECT_FALSE(customEnabled);
    EXPECT_EQ(labels, (std::vector<std::wstring>{L"Numeric", L"Money", L"Calculator", L"A-Z",
                                                 L"Custom...", L"Flat Look", L"OK"}));
    EXPECT_EQ(ConfigDword(L"KeyStyle"), 3u);
    EXPECT_EQ(ConfigDword(L"Flat"), 0u);
}

TEST_F(OptionsDialog, MoneyAndCustomMapToTheirStylesAndTheLivePanelFollows) {
    SelectKeyboard();
    ShowSip(true);
    HWND edit = FocusedEdit();
    auto keyboard = NewKeyboard();
    auto method = keyboard.as<IInputMethod>(IID_IInputMethod);
    ASSERT_EQ(RunOptions(method.get(),
                         [](HWND dialog) {
                             ::CheckRadioButton(dialog, kNumeric, kCustom, kMoney);
                             ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
                         }),
              S_OK);
    EXPECT_EQ(ConfigDword(L"KeyStyle"), 1u);
    ::SetFocus(edit); // the dialog had it
    Tap(CellCentre(1, 3));
    EXPECT_EQ(EditText(), L".");

    bool numericChecked = false;
    ASSERT_EQ(RunOptions(method.get(),
                         [&](HWND dialog) {
                             numericChecked = ::IsDlgButtonChecked(dialog, kNumeric) == BST_CHECKED;
                             ::CheckRadioButton(dialog, kNumeric, kCustom, kCustom);
                             ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
                         }),
              S_OK);
    EXPECT_FALSE(numericChecked);
    EXPECT_EQ(ConfigDword(L"KeyStyle"), 4u);
}

TEST_F(OptionsDialog, CancelChangesNothingAndResizingMovesOk) {
    auto keyboard = NewKeyboard();
    auto method = keyboard.as<IInputMethod>(IID_IInputMethod);
    RECT ok = {};
    RECT client = {};
    ASSERT_EQ(RunOptions(method.get(),
                         [&](HWND dialog) {
                             ::SetWindowPos(dialog, nullptr, 0, 0, 300, 260,
                                            SWP_NOMOVE | SWP_NOZORDER);
                             ::GetClientRect(dialog, &client);
                             HWND button = ::GetDlgItem(dialog, IDOK);
                             ::GetWindowRect(button, &ok);
                             ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&ok), 2);
                             ::CheckRadioButton(dialog, kNumeric, kCustom, kAlpha);
                             ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                         }),
              S_OK);
    EXPECT_EQ(ok.left, client.right - 92);
    EXPECT_EQ(ok.top, client.bottom - 32);
    EXPECT_EQ(ok.right - ok.left, 86);
    EXPECT_EQ(ok.bottom - ok.top, 26);
    EXPECT_EQ(ConfigDword(L"KeyStyle"), 0xFFFFFFFFu);
}

} // namespace
