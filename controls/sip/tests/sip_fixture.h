// The SIP control library as its tests reach it: the server registered, the
// keyboard's configuration saved and put back, and the keyboard panel loaded
// by the terminal's SIP manager in this process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SipVorpel.h"
#include "common/com.h"
#include "common/handle.h"
#include "input_method.h"

// Registers SipVorpel.dll (again: the terminal registers it too).
HRESULT RegisterSipServer();
HRESULT UnregisterSipServer();

// A DWORD or string of HKLM\Software\Vorpel\SipVorpel; "<missing>" / ~0 when absent.
DWORD ConfigDword(const wchar_t* name, DWORD missing = 0xFFFFFFFF);
std::wstring ConfigString(const wchar_t* name);
void SetConfigDword(const wchar_t* name, DWORD value);
void SetConfigString(const wchar_t* name, const std::wstring& value);

// Pumps this thread's messages until nothing is left.
void Pump();

// Each test starts with no keyboard configuration at all and no SIP window;
// the configuration, the class registration and the SIP are put back after.
class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A configuration object, as a script gets one.
    common::ComPtr<IKeyboardVorp> NewKeyboard();
    // Makes the keyboard panel the current input method (loaded, hidden).
    void SelectKeyboard();
    // Shows or hides the SIP through the manager.
    void ShowSip(bool on);
    HWND SipWindow() const;
    // The live keyboard panel: the SIP window's child.
    HWND Panel() const;
    // Taps the panel: the pen goes down at one point and up at another.
    void Tap(POINT down, POINT up);
    void Tap(POINT at) { Tap(at, at); }
    // A form with an edit box that has the focus.
    HWND FocusedEdit();
    std::wstring EditText();

    common::ComApartment apartment_;

private:
    struct SavedValue {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };
    std::vector<SavedValue> saved_;
    bool hadConfig_ = false;
    common::UniqueWindow form_;
    HWND edit_ = nullptr;
};

// The centre of a cell of the 240 × 80 panel in a 3-row grid of `cols`
// 48-pixel columns (the rows are 26 pixels, from y = 1).
POINT CellCentre(int row, int col, int cellWidth = 48);
