// The exports of Q4MUpgrade.dll. Callers load the library at run time and
// find the functions by these plain names; each returns 0 for success and
// 0x80004005 for failure (callers test the sign).
//
// `port` points at a port handle slot: INVALID_HANDLE_VALUE lets the library
// open and close the port by `portName` itself; an open handle of the
// caller's (a "data server" run) is closed, and on return the slot holds the
// library's own handle to the same port with the caller's line settings,
// which the caller then owns.
#pragma once

#include <windows.h>

extern "C" {

LONG WINAPI Q4MUpgrade(HANDLE* port, const wchar_t* portName, const wchar_t* flashDriverPath,
                       const wchar_t* firmwareImagePath);
LONG WINAPI Q4MExtract(HANDLE* port, const wchar_t* portName, const wchar_t* flashDriverPath,
                       const wchar_t* firmwareImagePath, const wchar_t* hostCopyPath,
                       const wchar_t* logPath);

typedef LONG(WINAPI* Q4MUpgradeFunction)(HANDLE*, const wchar_t*, const wchar_t*, const wchar_t*);
typedef LONG(WINAPI* Q4MExtractFunction)(HANDLE*, const wchar_t*, const wchar_t*, const wchar_t*,
                                         const wchar_t*, const wchar_t*);
}
