// Power: the device's power state, battery readings and idle time-outs.
#pragma once

#include "MXQRAPI.h"
#include "frame/object.h"

class Power final : public frame::Object<Power, IPower> {
public:
    static const frame::ObjectClass& Class();

    HRESULT STDMETHODCALLTYPE PowerOffDevice() override;
    HRESULT STDMETHODCALLTYPE get_ACLineStatus(MXQRAPILineStatus* pVal) override;
    HRESULT STDMETHODCALLTYPE get_BatteryFlag(MXQRAPIBatteryFlag* pVal) override;
    HRESULT STDMETHODCALLTYPE get_BatteryLifePercent(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_BatteryLifeTime(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_BatteryFullLifeTime(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_BackupBatteryFlag(MXQRAPIBatteryFlag* pVal) override;
    HRESULT STDMETHODCALLTYPE get_BackupBatteryLifePercent(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_BackupBatteryLifeTime(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_BackupBatteryFullLifeTime(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_BatteryCurrent(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_BatteryAverageInterval(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_BatterymAHourConsumed(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_BatteryTemperature(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_BackupBatteryVoltage(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_BatteryChemistry(MXQRAPIBatteryType* pVal) override;
    HRESULT STDMETHODCALLTYPE get_BatteryAverageCurrent(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_BatteryVoltage(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE SystemIdleTimerReset() override;
    HRESULT STDMETHODCALLTYPE get_ExternalIdleTimeout(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ExternalIdleTimeout(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_BatteryIdleTimeout(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_BatteryIdleTimeout(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_WakeupIdleTimeout(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_WakeupIdleTimeout(LONG newVal) override;
};
