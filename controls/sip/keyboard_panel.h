// The keyboard panel: the live keyboard in the SIP window. One per process at
// most; configuration objects of the same process reach it directly.
#pragma once

#include <windows.h>

#include <string_view>

#include "common/com.h"
#include "input_method.h"

namespace keyboard {

// The table of keys; cells of a larger grid hold no key.
inline constexpr int kKeyCount = 40;
inline constexpr size_t kLabelChars = 7;
inline constexpr size_t kTextChars = 31;

// Use flags: the size in the low four bits, then flag bits.
inline constexpr DWORD kSizeMask = 0xF;
inline constexpr DWORD kSizeTall = 2;
inline constexpr DWORD kSizeLong = 3;
inline constexpr DWORD kKeyDisabled = 16;

inline constexpr DWORD kStyleCustom = 4;

struct KeyRecord {
    wchar_t label[kLabelChars + 1];
    wchar_t text[kTextChars + 1];
    DWORD use;
};

struct Panel {
    HWND window = nullptr;
    common::ComPtr<IIMCallback> callback;
    KeyRecord keys[kKeyCount] = {};
    short pressed = -1;
    short cols = 5;
    short rows = 3;
    DWORD align = 1;
    DWORD textColor = 0;
    DWORD backColor = 0xFFFFFF;
    BOOL flat = TRUE;
    bool tracking = false;
    // Keys set since they were last loaded or saved; whoever ends the
    // panel's showing saves them.
    bool keysChanged = false;
    const void* owner = nullptr; // the input method object that made it
};

// The process's live panel; null when there is none.
Panel* LivePanel();
// Makes the panel window, a visible child of the SIP window, and the live panel.
Panel* CreateLivePanel(HWND sipWindow, const void* owner);
// Hides and destroys the live panel's window and forgets the panel.
void DestroyLivePanel();

// Sets one record, keeping 7 characters of the label and 31 of the text.
void SetKeyRecord(KeyRecord& key, std::wstring_view label, std::wstring_view text, DWORD use);
// Loads a predefined layout, or the custom keys of the configuration.
void LoadLayout(Panel& panel, DWORD style);
// Writes the keys of the configured grid as the custom keys.
void SaveCustomKeys(Panel& panel);

// The key at a point of the client area; -1 for none.
int HitTest(Panel& panel, const RECT& client, POINT point);
// Double-buffered: the whole client area in one transfer.
void Paint(Panel& panel, HDC dc, const RECT& client);

} // namespace keyboard
