// What the dial-up control tells the script about a dial: the text of each
// connection state and of each error code.
#pragma once

#include <windows.h>

#include <string>

namespace dialvora {

// The progress text of a connection state.
std::wstring StateText(DWORD state);
// The failure text of an error code ("Unspecified error" for codes not listed).
std::wstring ErrorCodeText(DWORD error);
// The error text of a failure: "[code] text."
std::wstring FailureText(DWORD error, const std::wstring& text);

} // namespace dialvora
