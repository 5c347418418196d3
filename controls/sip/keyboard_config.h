// The keyboard's configuration: values under HKLM\Software\Vorpel\SipVorpel,
// shared by every process, and the input method's registration strings under
// its class key. A value that cannot be read gives its default.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace keyboard {

// Value names of the configuration.
inline constexpr wchar_t kRowsValue[] = L"Rows";
inline constexpr wchar_t kColsValue[] = L"Cols";
inline constexpr wchar_t kTextColorValue[] = L"TextColor";
inline constexpr wchar_t kBackColorValue[] = L"BackColor";
inline constexpr wchar_t kKeyStyleValue[] = L"KeyStyle";
inline constexpr wchar_t kAlignValue[] = L"Align";
inline constexpr wchar_t kFlatValue[] = L"Flat";
inline constexpr wchar_t kDisplayNameValue[] = L"DisplayName";

// Defaults of the configuration.
inline constexpr DWORD kDefaultRows = 3;
inline constexpr DWORD kDefaultCols = 5;
inline constexpr DWORD kDefaultBackColor = 0xFFFFFF;
inline constexpr DWORD kDefaultKeyStyle = 0; // StyleInteger
inline constexpr DWORD kDefaultAlign = 1;    // AlignRight
inline constexpr DWORD kDefaultFlat = 1;
inline constexpr DWORD kDefaultKeyUse = 1;
DWORD DefaultTextColor(); // the system's button-text colour

DWORD ReadDword(const wchar_t* name, DWORD fallback);
bool WriteDword(const wchar_t* name, DWORD value);
// A 16-bit setting, stored sign-extended.
short ReadShort(const wchar_t* name, DWORD fallback);
bool WriteShort(const wchar_t* name, short value);
// At most `maxChars` characters; false (and empty) when missing.
bool ReadString(const wchar_t* name, size_t maxChars, std::wstring* text);
bool WriteString(const wchar_t* name, std::wstring_view text);

// Names of custom key n (from 1): "keydisp" n, "keycode" n, "keyuse" n.
std::wstring KeyValueName(const wchar_t* prefix, int n);

// Strings of the input method's class key (HKCR\CLSID\{class}): `subkey` null
// for the class key itself, `name` null for a default value.
bool ReadClassString(const wchar_t* subkey, const wchar_t* name, std::wstring* text);
bool WriteClassString(const wchar_t* subkey, const wchar_t* name, std::wstring_view text);

} // namespace keyboard
