// Which properties have been assigned: one bit each. Only DeviceName and
// ReadAhead are ever tested (the device opens when both are set).
#pragma once

#include <windows.h>

namespace barcode {

inline constexpr DWORD kSetAutoGoodReadLED = 0x001;
inline constexpr DWORD kSetAutoDataValidLED = 0x002;
inline constexpr DWORD kSetAutoBeep = 0x004;
inline constexpr DWORD kSetReadAhead = 0x008;
inline constexpr DWORD kSetFlushDataOnGridChange = 0x010;
inline constexpr DWORD kSetTriggerEnable = 0x020;
inline constexpr DWORD kSetConvertDataToUnicode = 0x040;
inline constexpr DWORD kSetDeviceName = 0x080;
inline constexpr DWORD kSetDeviceIndependentGrid = 0x100;
inline constexpr DWORD kSetDeviceDependentGrid = 0x200;

inline constexpr DWORD kSetNeededToOpen = kSetDeviceName | kSetReadAhead;

} // namespace barcode
