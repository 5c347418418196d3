// Windows CE power, idle timer, memory division and system information calls,
// simulated from the terminal's configuration (HKLM\Software\TerminalSimulator\Power
// and ...\Memory, see README.md).
#pragma once

#include <windows.h>

#include <cstddef>

#include "ceplatform.h"

// The extended power status record of Windows CE: 56 bytes.
struct SYSTEM_POWER_STATUS_EX2 {
    BYTE ACLineStatus;
    BYTE BatteryFlag;
    BYTE BatteryLifePercent;
    BYTE Reserved1;
    DWORD BatteryLifeTime;
    DWORD BatteryFullLifeTime;
    BYTE Reserved2;
    BYTE BackupBatteryFlag;
    BYTE BackupBatteryLifePercent;
    BYTE Reserved3;
    DWORD BackupBatteryLifeTime;
    DWORD BackupBatteryFullLifeTime;
    DWORD BatteryVoltage;
    DWORD BatteryCurrent;
    DWORD BatteryAverageCurrent;
    DWORD BatteryAverageInterval;
    DWORD BatterymAHourConsumed;
    DWORD BatteryTemperature;
    DWORD BackupBatteryVoltage;
    BYTE BatteryChemistry;
};
static_assert(sizeof(SYSTEM_POWER_STATUS_EX2) == 56);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BackupBatteryLifeTime) == 16);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryChemistry) == 52);

// Fills the record from the configuration (a fresh reading every call);
// returns the bytes filled, 0 when `length` is too small.
CEPLATFORM_API DWORD WINAPI GetSystemPowerStatusEx2(SYSTEM_POWER_STATUS_EX2* status, DWORD length,
                                                    BOOL update);

// The CE-only system parameter actions. SystemParametersInfo of the desktop
// does not know them, hence the Ce prefix; other actions go to the desktop.
constexpr UINT SPI_SETBATTERYIDLETIMEOUT = 251;
constexpr UINT SPI_GETBATTERYIDLETIMEOUT = 252;
constexpr UINT SPI_SETEXTERNALIDLETIMEOUT = 253;
constexpr UINT SPI_GETEXTERNALIDLETIMEOUT = 254;
constexpr UINT SPI_SETWAKEUPIDLETIMEOUT = 255;
constexpr UINT SPI_GETWAKEUPIDLETIMEOUT = 256;
constexpr UINT SPI_GETPLATFORMTYPE = 257;
constexpr UINT SPI_GETOEMINFO = 258;
CEPLATFORM_API BOOL WINAPI CeSystemParametersInfo(UINT action, UINT param, PVOID data, UINT winIni);

// Counted: TerminalGetPowerCounts tells how often.
CEPLATFORM_API void WINAPI SystemIdleTimerReset(void);
// Recorded, never acted on.
CEPLATFORM_API void WINAPI GwesPowerOffSystem(void);

constexpr DWORD SYSMEM_CHANGED = 0;
constexpr DWORD SYSMEM_MUSTREBOOT = 1;
constexpr DWORD SYSMEM_REBOOTPENDING = 2;
constexpr DWORD SYSMEM_FAILED = 3;
CEPLATFORM_API BOOL WINAPI GetSystemMemoryDivision(LPDWORD storePages, LPDWORD ramPages,
                                                   LPDWORD pageSize);
CEPLATFORM_API DWORD WINAPI SetSystemMemoryDivision(DWORD storePages);

// The HAL reboot request of KernelIoControl: recorded, never acted on.
constexpr DWORD IOCTL_HAL_REBOOT = 0x0101003C;

// ---- Simulator side ----
struct TerminalPowerCounts {
    DWORD idleTimerResets;
    DWORD powerOffRequests;
    DWORD rebootRequests;
    DWORD lastStoragePages; // the last SetSystemMemoryDivision request
};
CEPLATFORM_API void WINAPI TerminalGetPowerCounts(TerminalPowerCounts* counts);
CEPLATFORM_API void WINAPI TerminalClearPowerCounts(void);
