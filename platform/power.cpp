// Power, idle timers, memory division and system information of the terminal,
// from its configuration. Requests that would act on the machine (power off,
// reboot) are counted in the configuration instead, so that tests can see them.
#include "cepower.h"

#include <cstring>
#include <string>

#include "common/handle.h"
#include "hardware.h"

namespace {

constexpr wchar_t kPowerKey[] = L"Software\\TerminalSimulator\\Power";
constexpr wchar_t kMemoryKey[] = L"Software\\TerminalSimulator\\Memory";
constexpr wchar_t kConfigKey[] = L"Software\\TerminalSimulator";

DWORD ConfigNumber(const wchar_t* key, const wchar_t* name, DWORD fallback) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return fallback;
    }
    return value;
}

void SetConfigNumber(const wchar_t* key, const wchar_t* name, DWORD value) {
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, name, REG_DWORD, &value, sizeof(value));
}

void Count(const wchar_t* name) {
    SetConfigNumber(kPowerKey, name, ConfigNumber(kPowerKey, name, 0) + 1);
}

std::wstring ConfigText(const wchar_t* name, const wchar_t* fallback) {
    wchar_t text[MAX_PATH] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kConfigKey, name, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS) {
        return fallback;
    }
    return text;
}

// One field of the power record: its configuration value and default (a
// terminal on its charger with a full main battery).
struct PowerField {
    const wchar_t* name;
    size_t offset;
    size_t size;
    DWORD fallback;
};

#define FIELD(member, fallback)                                                                    \
    {                                                                                              \
        L## #member, offsetof(SYSTEM_POWER_STATUS_EX2, member),                                    \
            sizeof(SYSTEM_POWER_STATUS_EX2::member), fallback                                      \
    }
const PowerField kPowerFields[] = {
    FIELD(ACLineStatus, 1),
    FIELD(BatteryFlag, 1),
    FIELD(BatteryLifePercent, 100),
    FIELD(BatteryLifeTime, 0xFFFFFFFF),
    FIELD(BatteryFullLifeTime, 0xFFFFFFFF),
    FIELD(BackupBatteryFlag, 1),
    FIELD(BackupBatteryLifePercent, 100),
    FIELD(BackupBatteryLifeTime, 0xFFFFFFFF),
    FIELD(BackupBatteryFullLifeTime, 0xFFFFFFFF),
    FIELD(BatteryVoltage, 4100),
    FIELD(BatteryCurrent, 0),
    FIELD(BatteryAverageCurrent, 0),
    FIELD(BatteryAverageInterval, 0),
    FIELD(BatterymAHourConsumed, 0),
    FIELD(BatteryTemperature, 250),
    FIELD(BackupBatteryVoltage, 3000),
    FIELD(BatteryChemistry, 4),
};
#undef FIELD

// The idle time-out actions: the value each get reads and set writes.
struct IdleTimeout {
    UINT get;
    UINT set;
    const wchar_t* name;
    DWORD fallback;
};
const IdleTimeout kIdleTimeouts[] = {
    {SPI_GETBATTERYIDLETIMEOUT, SPI_SETBATTERYIDLETIMEOUT, L"BatteryIdleTimeout", 180},
    {SPI_GETEXTERNALIDLETIMEOUT, SPI_SETEXTERNALIDLETIMEOUT, L"ExternalIdleTimeout", 300},
    {SPI_GETWAKEUPIDLETIMEOUT, SPI_SETWAKEUPIDLETIMEOUT, L"WakeupIdleTimeout", 60},
};

// A time-out is unsupported when "<Name>Unsupported" is non-zero.
bool Unsupported(const IdleTimeout& timeout) {
    return ConfigNumber(kPowerKey, (std::wstring(timeout.name) + L"Unsupported").c_str(), 0) != 0;
}

} // namespace

CEPLATFORM_API DWORD WINAPI GetSystemPowerStatusEx2(SYSTEM_POWER_STATUS_EX2* status, DWORD length,
                                                    BOOL /*update*/) {
    if (status == nullptr || length < sizeof(SYSTEM_POWER_STATUS_EX2)) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::memset(status, 0, sizeof(*status));
    auto* bytes = reinterpret_cast<BYTE*>(status);
    for (const PowerField& field : kPowerFields) {
        const DWORD value = ConfigNumber(kPowerKey, field.name, field.fallback);
        std::memcpy(bytes + field.offset, &value, field.size); // little-endian: the low bytes
    }
    return sizeof(SYSTEM_POWER_STATUS_EX2);
}

CEPLATFORM_API BOOL WINAPI CeSystemParametersInfo(UINT action, UINT param, PVOID data,
                                                  UINT winIni) {
    for (const IdleTimeout& timeout : kIdleTimeouts) {
        if (action != timeout.get && action != timeout.set) {
            continue;
        }
        if (Unsupported(timeout)) {
            ::SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (action == timeout.set) {
            SetConfigNumber(kPowerKey, timeout.name, param);
            return TRUE;
        }
        if (data == nullptr) {
            ::SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        *static_cast<DWORD*>(data) = ConfigNumber(kPowerKey, timeout.name, timeout.fallback);
        return TRUE;
    }
    if (action == SPI_GETPLATFORMTYPE || action == SPI_GETOEMINFO) {
        const std::wstring text = action == SPI_GETPLATFORMTYPE
                                      ? ConfigText(L"PlatformType", L"Jupiter")
                                      : ConfigText(L"OEMInfo", L"Harvanti HVT9000");
        const UINT chars = param / sizeof(wchar_t);
        if (data == nullptr || chars <= text.size()) {
            ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        std::memcpy(data, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        return TRUE;
    }
    return ::SystemParametersInfoW(action, param, data, winIni);
}

CEPLATFORM_API void WINAPI SystemIdleTimerReset(void) {
    Count(L"IdleTimerResets");
}

CEPLATFORM_API void WINAPI GwesPowerOffSystem(void) {
    Count(L"PowerOffRequests");
}

CEPLATFORM_API BOOL WINAPI GetSystemMemoryDivision(LPDWORD storePages, LPDWORD ramPages,
                                                   LPDWORD pageSize) {
    if (ConfigNumber(kMemoryKey, L"QueryFails", 0) != 0) {
        return FALSE;
    }
    if (storePages != nullptr) {
        *storePages = ConfigNumber(kMemoryKey, L"StoragePages", 2048);
    }
    if (ramPages != nullptr) {
        *ramPages = ConfigNumber(kMemoryKey, L"RamPages", 6144);
    }
    if (pageSize != nullptr) {
        *pageSize = ConfigNumber(kMemoryKey, L"PageSize", 4096);
    }
    return TRUE;
}

CEPLATFORM_API DWORD WINAPI SetSystemMemoryDivision(DWORD storePages) {
    SetConfigNumber(kPowerKey, L"LastStoragePages", storePages);
    const DWORD answer = ConfigNumber(kMemoryKey, L"SetAnswer", SYSMEM_CHANGED);
    if (answer == SYSMEM_CHANGED) {
        SetConfigNumber(kMemoryKey, L"StoragePages", storePages);
    }
    return answer;
}

CEPLATFORM_API void WINAPI TerminalGetPowerCounts(TerminalPowerCounts* counts) {
    counts->idleTimerResets = ConfigNumber(kPowerKey, L"IdleTimerResets", 0);
    counts->powerOffRequests = ConfigNumber(kPowerKey, L"PowerOffRequests", 0);
    counts->rebootRequests = ConfigNumber(kPowerKey, L"RebootRequests", 0);
    counts->lastStoragePages = ConfigNumber(kPowerKey, L"LastStoragePages", 0);
}

CEPLATFORM_API void WINAPI TerminalClearPowerCounts(void) {
    for (const wchar_t* name :
         {L"IdleTimerResets", L"PowerOffRequests", L"RebootRequests", L"LastStoragePages"}) {
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPowerKey, name);
    }
}

namespace platform {

// The kernel's reboot request lands here.
void RecordRebootRequest() {
    Count(L"RebootRequests");
}

} // namespace platform
