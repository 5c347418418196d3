// Event codes of the barcode reader control (facility 0x199), with a short
// meaning each for viewers of the event log. The member's values are given
// where the event carries them; a value not named is 0.
#pragma once

#include <windows.h>

namespace hvt::barcode {

// The library and the control's life.
constexpr DWORD LibraryLoaded = 0x41990001;  // module handle
constexpr DWORD CanUnloadAsked = 0x01990002; // count of objects and locks
constexpr DWORD OpenAttempted = 0x41990000;  // opened flag, set-mask
constexpr DWORD InitializeDone = 0x01990000;
constexpr DWORD TornDown = 0x01990001;
constexpr DWORD ReaderCreateFailed = 0xC1990000; // result
constexpr DWORD ReaderOpenFailed = 0xC1990001;   // result
constexpr DWORD ReaderThreadFailed = 0xC1990002; // E_FAIL, system error code

// Members: each logs its code when called (with the values the member gives).
constexpr DWORD ControlDataValidLEDCalled = 0x41990002; // bOn, opened flag
constexpr DWORD ControlGoodReadLEDCalled = 0x41990003;  // bOn, opened flag
constexpr DWORD ControlLaserPowerCalled = 0x41990004;   // bOn, opened flag
constexpr DWORD ControlScannerCalled = 0x41990005;      // bOn, opened flag
constexpr DWORD AutoBeepGet = 0x41990006;               // stored value, opened flag
constexpr DWORD AutoBeepPut = 0x41990007;               // value, opened flag
constexpr DWORD AutoDataValidLEDGet = 0x41990008;       // stored value, opened flag
constexpr DWORD AutoGoodReadLEDGet = 0x41990009;        // stored value, opened flag
constexpr DWORD ConvertDataToUnicodeGet = 0x4199000A;   // stored value
constexpr DWORD ConvertDataToUnicodePut = 0x4199000B;   // new value
constexpr DWORD DeviceDependentGridGet = 0x4199000C;    // opened flag
constexpr DWORD DeviceIndependentGridGet = 0x4199000D;  // opened flag
constexpr DWORD DeviceNameGet = 0x4199000E;
constexpr DWORD FlushDataOnGridChangeGet = 0x4199000F;
constexpr DWORD ReadAheadGet = 0x41990010;             // stored value
constexpr DWORD ReadAheadPut = 0x41990011;             // new value
constexpr DWORD TriggerEnableGet = 0x41990012;         // opened flag
constexpr DWORD TriggerEnablePut = 0x41990013;         // value, opened flag
constexpr DWORD IssueBeepsCalled = 0x41990014;         // opened flag
constexpr DWORD PostReadCalled = 0x41990015;           // byte count, timeout
constexpr DWORD AutoDataValidLEDPut = 0x41990016;      // value, opened flag
constexpr DWORD AutoGoodReadLEDPut = 0x41990017;       // value, opened flag
constexpr DWORD DeviceDependentGridPut = 0x41990018;   // value, opened flag
constexpr DWORD DeviceIndependentGridPut = 0x41990019; // opened flag
constexpr DWORD DeviceNamePut = 0x4199001A;
constexpr DWORD FlushDataOnGridChangePut = 0x4199001B; // old value

// The read path.
constexpr DWORD ReadStarted = 0x4199001D;
constexpr DWORD ReadReturned = 0x4199001E;  // result
constexpr DWORD ReadCancelled = 0x4199001F; // a pending read cancelled for a device operation
constexpr DWORD ReadFailed = 0xC1990016;    // status

// Failures of members: the failing result as the first value.
constexpr DWORD ControlDataValidLEDFailed = 0xC1990003;
constexpr DWORD ControlGoodReadLEDFailed = 0xC1990004;
constexpr DWORD ControlLaserPowerFailed = 0xC1990005;
constexpr DWORD ControlScannerFailed = 0xC1990006;
constexpr DWORD AutoBeepGetFailed = 0xC1990007;
constexpr DWORD AutoDataValidLEDGetFailed = 0xC1990008;
constexpr DWORD AutoGoodReadLEDGetFailed = 0xC1990009;
constexpr DWORD DeviceDependentGridGetFailed = 0xC199000A;
constexpr DWORD DeviceIndependentGridGetFailed = 0xC199000B;
constexpr DWORD TriggerEnableGetFailed = 0xC199000C;
constexpr DWORD IssueBeepsFailed = 0xC199000D;
constexpr DWORD AutoBeepPutFailed = 0xC199000E;
constexpr DWORD AutoDataValidLEDPutFailed = 0xC199000F;
constexpr DWORD AutoGoodReadLEDPutFailed = 0xC1990010;
constexpr DWORD DeviceDependentGridPutFailed = 0xC1990011;

} // namespace hvt::barcode
