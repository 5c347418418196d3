#include "power.h"

const SYSTEM_POWER_STATUS_EX2& Power::Refresh() noexcept {
    GetSystemPowerStatusEx2(&status_, sizeof(status_), TRUE);
    return status_;
}

HRESULT Power::GetIdleTimeout(UINT action, LONG* value) noexcept {
    if (value == nullptr) {
        return E_POINTER;
    }
    // -1 stays when the system does not know the parameter.
    DWORD seconds = static_cast<DWORD>(-1);
    CeSystemParametersInfo(action, 0, &seconds, 0);
    *value = static_cast<LONG>(seconds);
    return S_OK;
}

const frame::ObjectClass& Power::Class() {
    static const frame::ObjectClass cls = {&CLSID_Power, &IID_IPower, &DIID__IPowerEvents};
    return cls;
}

HRESULT Power::PowerOffDevice() {
    GwesPowerOffSystem();
    return S_OK;
}

HRESULT Power::get_ACLineStatus(MXQRAPILineStatus* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<MXQRAPILineStatus>(Refresh().ACLineStatus);
    return S_OK;
}

HRESULT Power::get_BatteryFlag(MXQRAPIBatteryFlag* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<MXQRAPIBatteryFlag>(Refresh().BatteryFlag);
    return S_OK;
}

HRESULT Power::get_BatteryLifePercent(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().BatteryLifePercent);
    return S_OK;
}

HRESULT Power::get_BatteryLifeTime(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().BatteryLifeTime);
    return S_OK;
}

HRESULT Power::get_BatteryFullLifeTime(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().BatteryFullLifeTime);
    return S_OK;
}

HRESULT Power::get_BackupBatteryFlag(MXQRAPIBatteryFlag* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<MXQRAPIBatteryFlag>(Refresh().BackupBatteryFlag);
    return S_OK;
}

HRESULT Power::get_BackupBatteryLifePercent(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().BackupBatteryLifePercent);
    return S_OK;
}

HRESULT Power::get_BackupBatteryLifeTime(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().BackupBatteryLifeTime);
    return S_OK;
}

HRESULT Power::get_BackupBatteryFullLifeTime(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().BackupBatteryFullLifeTime);
    return S_OK;
}

HRESULT Power::get_BatteryCurrent(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().BatteryCurrent);
    return S_OK;
}

HRESULT Power::get_BatteryAverageInterval(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().BatteryAverageInterval);
    return S_OK;
}

HRESULT Power::get_BatterymAHourConsumed(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().BatterymAHourConsumed);
    return S_OK;
}

HRESULT Power::get_BatteryTemperature(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().BatteryTemperature);
    return S_OK;
}

HRESULT Power::get_BackupBatteryVoltage(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().BackupBatteryVoltage);
    return S_OK;
}

HRESULT Power::get_BatteryChemistry(MXQRAPIBatteryType* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<MXQRAPIBatteryType>(Refresh().BatteryChemistry);
    return S_OK;
}

HRESULT Power::get_BatteryAverageCurrent(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().BatteryAverageCurrent);
    return S_OK;
}

HRESULT Power::get_BatteryVoltage(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().BatteryVoltage);
    return S_OK;
}

HRESULT Power::SystemIdleTimerReset() {
    ::SystemIdleTimerReset();
    return S_OK;
}

HRESULT Power::get_ExternalIdleTimeout(LONG* pVal) {
    return GetIdleTimeout(SPI_GETEXTERNALIDLETIMEOUT, pVal);
}

HRESULT Power::put_ExternalIdleTimeout(LONG newVal) {
    CeSystemParametersInfo(SPI_SETEXTERNALIDLETIMEOUT, static_cast<UINT>(newVal), nullptr, 0);
    return S_OK;
}

HRESULT Power::get_BatteryIdleTimeout(LONG* pVal) {
    return GetIdleTimeout(SPI_GETBATTERYIDLETIMEOUT, pVal);
}

HRESULT Power::put_BatteryIdleTimeout(LONG newVal) {
    CeSystemParametersInfo(SPI_SETBATTERYIDLETIMEOUT, static_cast<UINT>(newVal), nullptr, 0);
    return S_OK;
}

HRESULT Power::get_WakeupIdleTimeout(LONG* pVal) {
    return GetIdleTimeout(SPI_GETWAKEUPIDLETIMEOUT, pVal);
}

HRESULT Power::put_WakeupIdleTimeout(LONG newVal) {
    CeSystemParametersInfo(SPI_SETWAKEUPIDLETIMEOUT, static_cast<UINT>(newVal), nullptr, 0);
    return S_OK;
}
