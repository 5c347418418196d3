// The soft input panel (SIP) manager of the terminal and the shell's input
// panel helpers, under their CE names. The manager lives in the calling
// process, as it does in the shell: its SIP window is made on the first
// thread that needs it, and the current input method is loaded into it.
#pragma once

#include <windows.h>

#include "ceplatform.h"

// ---- Records ----------------------------------------------------------------

// The SIP information record. It is 48 bytes at both widths: the input-method
// data address is a 32-bit field, as on the terminal (this manager carries no
// input-method data through it).
struct SIPINFO {
    DWORD cbSize;
    DWORD fdwFlags;
    RECT rcVisibleDesktop; // the part of the work area the panel leaves free
    RECT rcSipRect;        // the SIP window, in screen coordinates
    DWORD dwImDataSize;
    DWORD pvImData;
};
static_assert(sizeof(SIPINFO) == 48, "the SIP information record is 48 bytes");
constexpr DWORD SIPINFO_SIZE = 48;

// SIPINFO flags.
constexpr DWORD SIPF_OFF = 0x0;
constexpr DWORD SIPF_ON = 0x1;
constexpr DWORD SIPF_DOCKED = 0x2;
constexpr DWORD SIPF_LOCKED = 0x4;
constexpr DWORD SIPF_DISABLECOMPLETION = 0x8;

// One installed input method, as SipEnumIM reports it.
struct IMENUMINFO {
    WCHAR szName[MAX_PATH];
    CLSID clsid;
};
static_assert(sizeof(IMENUMINFO) == 2 * MAX_PATH + 16, "a name of 260 characters, then the class");

// Returns non-zero to go on with the enumeration.
typedef int (*IMENUMPROC)(IMENUMINFO* info);

// SipStatus answers.
constexpr DWORD SIP_STATUS_UNAVAILABLE = 0;
constexpr DWORD SIP_STATUS_AVAILABLE = 1;

// SHSipPreference states.
enum SIPSTATE {
    SIP_UP = 0,
    SIP_DOWN = 1,
    SIP_FORCEDOWN = 2,
    SIP_UNCHANGED = 3,
    SIP_INPUTDIALOG = 4,
};

// SHSipInfo actions.
constexpr UINT SPI_SETSIPINFO = 224;
constexpr UINT SPI_GETSIPINFO = 225;
constexpr UINT SPI_SETCURRENTIM = 226;
constexpr UINT SPI_GETCURRENTIM = 227;

// Window class of the SIP window; the input method's panel is its child.
constexpr wchar_t SIP_WINDOW_CLASS[] = L"SipWndClass";

// ---- Core library -----------------------------------------------------------

CEPLATFORM_API DWORD WINAPI SipStatus(void);
// Both take a record whose cbSize is 48; anything else fails with
// ERROR_INVALID_PARAMETER. Setting SIPF_ON shows the SIP window, clearing it
// hides it; the other flags are kept as given. A rectangle given with
// SipSetInfo moves the SIP window.
CEPLATFORM_API BOOL WINAPI SipGetInfo(SIPINFO* info);
CEPLATFORM_API BOOL WINAPI SipSetInfo(SIPINFO* info);
// Calls `proc` for every class registered with an IsSIPInputMethod key of
// "1", in registry order; returns how many were reported.
CEPLATFORM_API int WINAPI SipEnumIM(IMENUMPROC proc);
CEPLATFORM_API BOOL WINAPI SipGetCurrentIM(CLSID* clsid);
// The all-zero identifier selects the default input method.
CEPLATFORM_API BOOL WINAPI SipSetCurrentIM(CLSID* clsid);

// ---- Shell library ----------------------------------------------------------

CEPLATFORM_API BOOL WINAPI SHSipPreference(HWND window, SIPSTATE state);
CEPLATFORM_API BOOL WINAPI SHSipInfo(UINT action, UINT param, PVOID data, UINT winIni);

// ---- Simulator side ---------------------------------------------------------

// Unloads the input method, destroys the SIP window (call on the thread that
// made it) and forgets the flags and the selection, as a fresh start of the
// terminal would.
CEPLATFORM_API void WINAPI TerminalResetSip(void);
// The SIP window; null while it has not been made.
CEPLATFORM_API HWND WINAPI TerminalSipWindow(void);
