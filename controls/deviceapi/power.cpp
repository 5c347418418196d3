#include "power.h"

const frame::ObjectClass& Power::Class() {
    static const frame::ObjectClass cls = {&CLSID_Power, &IID_IPower, &DIID__IPowerEvents};
    return cls;
}

HRESULT Power::PowerOffDevice() {
    return E_NOTIMPL;
}

HRESULT Power::get_ACLineStatus(MXQRAPILineStatus*) {
    return E_NOTIMPL;
}

HRESULT Power::get_BatteryFlag(MXQRAPIBatteryFlag*) {
    return E_NOTIMPL;
}

HRESULT Power::get_BatteryLifePercent(LONG*) {
    return E_NOTIMPL;
}

HRESULT Power::get_BatteryLifeTime(LONG*) {
    return E_NOTIMPL;
}

HRESULT Power::get_BatteryFullLifeTime(LONG*) {
    return E_NOTIMPL;
}

HRESULT Power::get_BackupBatteryFlag(MXQRAPIBatteryFlag*) {
    return E_NOTIMPL;
}

HRESULT Power::get_BackupBatteryLifePercent(LONG*) {
    return E_NOTIMPL;
}

HRESULT Power::get_BackupBatteryLifeTime(LONG*) {
    return E_NOTIMPL;
}

HRESULT Power::get_BackupBatteryFullLifeTime(LONG*) {
    return E_NOTIMPL;
}

HRESULT Power::get_BatteryCurrent(LONG*) {
    return E_NOTIMPL;
}

HRESULT Power::get_BatteryAverageInterval(LONG*) {
    return E_NOTIMPL;
}

HRESULT Power::get_BatterymAHourConsumed(LONG*) {
    return E_NOTIMPL;
}

HRESULT Power::get_BatteryTemperature(LONG*) {
    return E_NOTIMPL;
}

HRESULT Power::get_BackupBatteryVoltage(LONG*) {
    return E_NOTIMPL;
}

HRESULT Power::get_BatteryChemistry(MXQRAPIBatteryType*) {
    return E_NOTIMPL;
}

HRESULT Power::get_BatteryAverageCurrent(LONG*) {
    return E_NOTIMPL;
}

HRESULT Power::get_BatteryVoltage(LONG*) {
    return E_NOTIMPL;
}

HRESULT Power::SystemIdleTimerReset() {
    return E_NOTIMPL;
}

HRESULT Power::get_ExternalIdleTimeout(LONG*) {
    return E_NOTIMPL;
}

HRESULT Power::put_ExternalIdleTimeout(LONG) {
    return E_NOTIMPL;
}

HRESULT Power::get_BatteryIdleTimeout(LONG*) {
    return E_NOTIMPL;
}

HRESULT Power::put_BatteryIdleTimeout(LONG) {
    return E_NOTIMPL;
}

HRESULT Power::get_WakeupIdleTimeout(LONG*) {
    return E_NOTIMPL;
}

HRESULT Power::put_WakeupIdleTimeout(LONG) {
    return E_NOTIMPL;
}
