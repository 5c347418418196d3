// The terminal's remote access service: the phonebook, dial parameters,
// dial-up devices, dialling with window notifications, connections and their
// status, under the platform's names and with its record layouts. Text in
// every record is wide and of fixed size; the layouts are the terminal's own
// and the same at every width.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cwchar>
#include <string_view>

#include "ceplatform.h"

// ---- Field sizes (characters, without the terminating NUL) ------------------

constexpr DWORD RAS_MaxEntryName = 20;
constexpr DWORD RAS_MaxDeviceType = 16;
constexpr DWORD RAS_MaxDeviceName = 32;
constexpr DWORD RAS_MaxAreaCode = 10;
constexpr DWORD RAS_MaxPhoneNumber = 128;
constexpr DWORD RAS_MaxCallbackNumber = 48;
constexpr DWORD RAS_MaxPadType = 32;
constexpr DWORD RAS_MaxX25Address = 200;
constexpr DWORD RAS_MaxFacilities = 200;
constexpr DWORD RAS_MaxUserData = 200;
constexpr DWORD RAS_MaxPath = 260;
constexpr DWORD RAS_MaxUserName = 256; // UNLEN
constexpr DWORD RAS_MaxPassword = 256; // PWLEN
constexpr DWORD RAS_MaxDomain = 15;    // DNLEN

// ---- Results ----------------------------------------------------------------

#ifndef ERROR_BUFFER_TOO_SMALL
#define ERROR_BUFFER_TOO_SMALL 603L
#endif
#ifndef ERROR_CANNOT_FIND_PHONEBOOK_ENTRY
#define ERROR_CANNOT_FIND_PHONEBOOK_ENTRY 623L
#endif
#ifndef ERROR_INVALID_SIZE
#define ERROR_INVALID_SIZE 632L
#endif
#ifndef ERROR_PORT_ALREADY_OPEN
#define ERROR_PORT_ALREADY_OPEN 602L
#endif

// ---- Fixed text fields ------------------------------------------------------

// Copies text into a field, cut to the field's size and always terminated.
template <size_t N> inline void RasCopyField(WCHAR (&field)[N], std::wstring_view text) {
    const size_t length = text.size() < N - 1 ? text.size() : N - 1;
    std::wmemcpy(field, text.data(), length);
    field[length] = L'\0';
}

// A field's text, never read past its end.
template <size_t N> inline std::wstring_view RasFieldText(const WCHAR (&field)[N]) {
    return {field, ::wcsnlen(field, N)};
}

// ---- Records ----------------------------------------------------------------

struct RASIPADDR {
    BYTE a;
    BYTE b;
    BYTE c;
    BYTE d;
};

// Options word of an entry.
constexpr DWORD RASEO_UseCountryAndAreaCodes = 0x00000001;
constexpr DWORD RASEO_SpecificIpAddr = 0x00000002;
constexpr DWORD RASEO_SpecificNameServers = 0x00000004;
constexpr DWORD RASEO_IpHeaderCompression = 0x00000008;
constexpr DWORD RASEO_RemoteDefaultGateway = 0x00000010;
constexpr DWORD RASEO_DisableLcpExtensions = 0x00000020;
constexpr DWORD RASEO_TerminalBeforeDial = 0x00000040;
constexpr DWORD RASEO_TerminalAfterDial = 0x00000080;
constexpr DWORD RASEO_ModemLights = 0x00000100;
constexpr DWORD RASEO_SwCompression = 0x00000200;
constexpr DWORD RASEO_RequireEncryptedPw = 0x00000400;
constexpr DWORD RASEO_RequireMsEncryptedPw = 0x00000800;
constexpr DWORD RASEO_RequireDataEncryption = 0x00001000;
constexpr DWORD RASEO_NetworkLogon = 0x00002000;
constexpr DWORD RASEO_UseLogonCredentials = 0x00004000;
constexpr DWORD RASEO_PromoteAlternates = 0x00008000;
constexpr DWORD RASEO_SecureLocalFiles = 0x00010000;
constexpr DWORD RASEO_DialAsLocalCall = 0x00020000;

constexpr DWORD RASNP_NetBEUI = 0x1;
constexpr DWORD RASNP_Ipx = 0x2;
constexpr DWORD RASNP_Ip = 0x4;
constexpr DWORD RASFP_Ppp = 0x1;
constexpr DWORD RASFP_Slip = 0x2;

// A phonebook entry.
struct RASENTRY {
    DWORD dwSize;
    DWORD dwfOptions;
    DWORD dwCountryID;
    DWORD dwCountryCode;
    WCHAR szAreaCode[RAS_MaxAreaCode + 1];
    WCHAR szLocalPhoneNumber[RAS_MaxPhoneNumber + 1];
    DWORD dwAlternateOffset;
    RASIPADDR ipaddr;
    RASIPADDR ipaddrDns;
    RASIPADDR ipaddrDnsAlt;
    RASIPADDR ipaddrWins;
    RASIPADDR ipaddrWinsAlt;
    DWORD dwFrameSize;
    DWORD dwfNetProtocols;
    DWORD dwFramingProtocol;
    WCHAR szScript[RAS_MaxPath];
    WCHAR szAutodialDll[RAS_MaxPath];
    WCHAR szAutodialFunc[RAS_MaxPath];
    WCHAR szDeviceType[RAS_MaxDeviceType + 1];
    WCHAR szDeviceName[RAS_MaxDeviceName + 1];
    WCHAR szX25PadType[RAS_MaxPadType + 1];
    WCHAR szX25Address[RAS_MaxX25Address + 1];
    WCHAR szX25Facilities[RAS_MaxFacilities + 1];
    WCHAR szX25UserData[RAS_MaxUserData + 1];
    DWORD dwChannels;
    DWORD dwReserved1;
    DWORD dwReserved2;
};
using LPRASENTRY = RASENTRY*;
static_assert(sizeof(RASENTRY) == 3276);
static_assert(offsetof(RASENTRY, dwfOptions) == 4);
static_assert(offsetof(RASENTRY, dwCountryCode) == 12);
static_assert(offsetof(RASENTRY, szAreaCode) == 16);
static_assert(offsetof(RASENTRY, szLocalPhoneNumber) == 38);
static_assert(offsetof(RASENTRY, ipaddr) == 300);
static_assert(offsetof(RASENTRY, ipaddrDns) == 304);
static_assert(offsetof(RASENTRY, ipaddrDnsAlt) == 308);
static_assert(offsetof(RASENTRY, ipaddrWins) == 312);
static_assert(offsetof(RASENTRY, ipaddrWinsAlt) == 316);
static_assert(offsetof(RASENTRY, dwfNetProtocols) == 324);
static_assert(offsetof(RASENTRY, dwFramingProtocol) == 328);
static_assert(offsetof(RASENTRY, szDeviceType) == 1892);
static_assert(offsetof(RASENTRY, szDeviceName) == 1926);
static_assert(offsetof(RASENTRY, dwChannels) == 3264);

// What dialling an entry needs beside the entry itself.
struct RASDIALPARAMS {
    DWORD dwSize;
    WCHAR szEntryName[RAS_MaxEntryName + 1];
    WCHAR szPhoneNumber[RAS_MaxPhoneNumber + 1];
    WCHAR szCallbackNumber[RAS_MaxCallbackNumber + 1];
    WCHAR szUserName[RAS_MaxUserName + 1];
    WCHAR szPassword[RAS_MaxPassword + 1];
    WCHAR szDomain[RAS_MaxDomain + 1];
};
using LPRASDIALPARAMS = RASDIALPARAMS*;
static_assert(sizeof(RASDIALPARAMS) == 1464);
static_assert(offsetof(RASDIALPARAMS, szEntryName) == 4);
static_assert(offsetof(RASDIALPARAMS, szUserName) == 4 + 199 * sizeof(WCHAR));
static_assert(offsetof(RASDIALPARAMS, szPassword) == 4 + 456 * sizeof(WCHAR));
static_assert(offsetof(RASDIALPARAMS, szDomain) == 4 + 713 * sizeof(WCHAR));

struct RASENTRYNAME {
    DWORD dwSize;
    WCHAR szEntryName[RAS_MaxEntryName + 1];
};
using LPRASENTRYNAME = RASENTRYNAME*;
static_assert(sizeof(RASENTRYNAME) == 48);
static_assert(offsetof(RASENTRYNAME, szEntryName) == 4);

struct RASDEVINFO {
    DWORD dwSize;
    WCHAR szDeviceType[RAS_MaxDeviceType + 1];
    WCHAR szDeviceName[RAS_MaxDeviceName + 1];
};
using LPRASDEVINFO = RASDEVINFO*;
static_assert(sizeof(RASDEVINFO) == 104);
static_assert(offsetof(RASDEVINFO, szDeviceType) == 4);
static_assert(offsetof(RASDEVINFO, szDeviceName) == 38);

// A connection handle is the service's own 32-bit number, as on the terminal,
// not a pointer: records that carry one keep their size at every width.
using HRASCONN = DWORD;
using LPHRASCONN = HRASCONN*;

struct RASCONN {
    DWORD dwSize;
    HRASCONN hrasconn;
    WCHAR szEntryName[RAS_MaxEntryName + 1];
};
using LPRASCONN = RASCONN*;
static_assert(sizeof(RASCONN) == 52);
static_assert(offsetof(RASCONN, hrasconn) == 4);
static_assert(offsetof(RASCONN, szEntryName) == 8);

// Connection states: 0 to 18 while dialling, then the paused and final ones.
constexpr DWORD RASCS_PAUSED = 0x1000;
constexpr DWORD RASCS_DONE = 0x2000;
enum RASCONNSTATE : DWORD {
    RASCS_OpenPort = 0,
    RASCS_PortOpened,
    RASCS_ConnectDevice,
    RASCS_DeviceConnected,
    RASCS_AllDevicesConnected,
    RASCS_Authenticate,
    RASCS_AuthNotify,
    RASCS_AuthRetry,
    RASCS_AuthCallback,
    RASCS_AuthChangePassword,
    RASCS_AuthProject,
    RASCS_AuthLinkSpeed,
    RASCS_AuthAck,
    RASCS_ReAuthenticate,
    RASCS_Authenticated,
    RASCS_PrepareForCallback,
    RASCS_WaitForModemReset,
    RASCS_WaitForCallback,
    RASCS_Projected,
    RASCS_Interactive = RASCS_PAUSED,
    RASCS_RetryAuthentication,
    RASCS_CallbackSetByCaller,
    RASCS_PasswordExpired,
    RASCS_Connected = RASCS_DONE,
    RASCS_Disconnected,
};

struct RASCONNSTATUS {
    DWORD dwSize;
    RASCONNSTATE rasconnstate;
    DWORD dwError;
    WCHAR szDeviceType[RAS_MaxDeviceType + 1];
    WCHAR szDeviceName[RAS_MaxDeviceName + 1];
};
using LPRASCONNSTATUS = RASCONNSTATUS*;
static_assert(sizeof(RASCONNSTATUS) == 112);
static_assert(offsetof(RASCONNSTATUS, szDeviceType) == 12);
static_assert(offsetof(RASCONNSTATUS, szDeviceName) == 46);

// Accepted and ignored: the service has no dial extensions.
struct RASDIALEXTENSIONS {
    DWORD dwSize;
    DWORD dwfOptions;
    DWORD hwndParent;
    DWORD reserved;
};
using LPRASDIALEXTENSIONS = RASDIALEXTENSIONS*;

// The notifier of RasDial is a window: it receives WM_RASDIALEVENT with the
// connection state in wParam and the error code (0 = none) in lParam.
constexpr DWORD RAS_NOTIFIER_WINDOW = 0xFFFFFFFF;
constexpr UINT WM_RASDIALEVENT = 0xCCCD;

// ---- Calls ------------------------------------------------------------------
// The phonebook argument names the default phonebook when null; the terminal
// has no other. Every call returns 0 or an error code.

CEPLATFORM_API DWORD WINAPI RasEnumEntries(LPCWSTR reserved, LPCWSTR phonebook,
                                           LPRASENTRYNAME entries, LPDWORD bytes, LPDWORD count);
CEPLATFORM_API DWORD WINAPI RasGetEntryProperties(LPCWSTR phonebook, LPCWSTR entryName,
                                                  LPRASENTRY entry, LPDWORD entryBytes,
                                                  LPBYTE deviceInfo, LPDWORD deviceInfoBytes);
CEPLATFORM_API DWORD WINAPI RasSetEntryProperties(LPCWSTR phonebook, LPCWSTR entryName,
                                                  LPRASENTRY entry, DWORD entryBytes,
                                                  LPBYTE deviceInfo, DWORD deviceInfoBytes);
CEPLATFORM_API DWORD WINAPI RasGetEntryDialParams(LPCWSTR phonebook, LPRASDIALPARAMS params,
                                                  LPBOOL passwordStored);
CEPLATFORM_API DWORD WINAPI RasSetEntryDialParams(LPCWSTR phonebook, LPRASDIALPARAMS params,
                                                  BOOL removePassword);
CEPLATFORM_API DWORD WINAPI RasDeleteEntry(LPCWSTR phonebook, LPCWSTR entryName);
CEPLATFORM_API DWORD WINAPI RasEnumDevices(LPRASDEVINFO devices, LPDWORD bytes, LPDWORD count);
CEPLATFORM_API DWORD WINAPI RasDial(LPRASDIALEXTENSIONS extensions, LPCWSTR phonebook,
                                    LPRASDIALPARAMS params, DWORD notifierType, LPVOID notifier,
                                    LPHRASCONN connection);
CEPLATFORM_API DWORD WINAPI RasEnumConnections(LPRASCONN connections, LPDWORD bytes, LPDWORD count);
CEPLATFORM_API DWORD WINAPI RasGetConnectStatus(HRASCONN connection, LPRASCONNSTATUS status);
CEPLATFORM_API DWORD WINAPI RasHangUp(HRASCONN connection);
