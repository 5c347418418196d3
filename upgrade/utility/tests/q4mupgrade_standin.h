// Where the test stand-in for the flash download library records its calls
// (HKEY_CURRENT_USER) and finds the status it answers ("Result", a DWORD;
// 0 when absent).
#pragma once

namespace standin {

constexpr const wchar_t* kRecordKey = L"Software\\TerminalSimulator\\Q4MUpgradeStandin";

// Values written by each call.
constexpr const wchar_t* kCalls = L"Calls";   // DWORD, counts every call
constexpr const wchar_t* kEntry = L"Entry";   // "Q4MUpgrade" or "Q4MExtract"
constexpr const wchar_t* kHandle = L"Handle"; // "invalid" or "open"
constexpr const wchar_t* kPort = L"Port";
constexpr const wchar_t* kDriver = L"Driver";
constexpr const wchar_t* kImage = L"Image";
constexpr const wchar_t* kHostCopy = L"HostCopy";
constexpr const wchar_t* kLogPath = L"LogPath";   // "(null)" for a null pointer
constexpr const wchar_t* kProcess = L"Process";   // the caller's executable file name
constexpr const wchar_t* kReopened = L"Reopened"; // DWORD: the port opened by name
constexpr const wchar_t* kResult = L"Result";

} // namespace standin
