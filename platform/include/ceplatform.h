// Windows CE pieces that a desktop Win32 lacks, and the terminal's own
// devices, simulated with state that every process of the terminal shares.
#pragma once

#include <windows.h>

#ifdef CEPLATFORM_BUILD
#define CEPLATFORM_API extern "C" __declspec(dllexport)
#else
#define CEPLATFORM_API extern "C" __declspec(dllimport)
#endif

// ---- Kernel -----------------------------------------------------------------

// Device information: a 124-byte answer whose bytes from offset 39 hold the
// platform name, NUL-terminated.
constexpr DWORD IOCTL_TERMINAL_DEVICE_INFO = 0x01012000;
constexpr DWORD TERMINAL_DEVICE_INFO_SIZE = 124;
constexpr DWORD TERMINAL_PLATFORM_NAME_OFFSET = 39;

CEPLATFORM_API BOOL WINAPI KernelIoControl(DWORD ioControlCode, LPVOID inBuffer, DWORD inSize,
                                           LPVOID outBuffer, DWORD outSize, LPDWORD bytesReturned);

// Maps physical or statically mapped kernel memory at an address the caller
// reserved with VirtualAlloc(MEM_RESERVE). The terminal's hardware control
// register page (HCR0) is the only such memory on the simulated terminal.
CEPLATFORM_API BOOL WINAPI VirtualCopy(LPVOID destination, LPVOID source, DWORD size,
                                       DWORD protect);

// VirtualFree that also gives back pages mapped by VirtualCopy.
CEPLATFORM_API BOOL WINAPI CeVirtualFree(LPVOID address, SIZE_T size, DWORD freeType);

constexpr ULONG_PTR TERMINAL_HCR0_ADDRESS = 0xBF800000;
constexpr DWORD HCR0_SCAN_POWER_OFF = 0x10;
constexpr DWORD HCR0_SCAN_FLASH_MODE = 0x20;

// ---- Device manager: stream drivers such as "SYI1:" -------------------------

// Mirror CreateFile, DeviceIoControl and CloseHandle for stream drivers.
CEPLATFORM_API HANDLE WINAPI CeOpenDevice(LPCWSTR name, DWORD access, DWORD shareMode,
                                          DWORD creation, DWORD flags);
CEPLATFORM_API BOOL WINAPI CeDeviceIoControl(HANDLE device, DWORD ioControlCode, LPVOID inBuffer,
                                             DWORD inSize, LPVOID outBuffer, DWORD outSize,
                                             LPDWORD bytesReturned, LPOVERLAPPED overlapped);
CEPLATFORM_API BOOL WINAPI CeCloseDevice(HANDLE device);

// System I/O driver requests; the input length says on (1) or off (0), flash
// mode (1) or scanning mode (0).
constexpr DWORD IOCTL_SYI_SCAN_POWER = 0x0022C846;
constexpr DWORD IOCTL_SYI_SCAN_MODE = 0x0022C844;

// ---- Simulator side: what tests, tools and simulated devices see ------------

// Faults a test can switch on; they stay until switched off.
constexpr DWORD TERMINAL_FAULT_SYI_OPEN = 0x01;     // "SYI1:" cannot be opened
constexpr DWORD TERMINAL_FAULT_SYI_IOCTL = 0x02;    // every "SYI1:" request fails
constexpr DWORD TERMINAL_FAULT_DEVICE_INFO = 0x04;  // the device information call fails
constexpr DWORD TERMINAL_FAULT_VIRTUAL_COPY = 0x08; // HCR0 cannot be mapped

// One request that reached the "SYI1:" driver.
struct TerminalDeviceRequest {
    DWORD ioControlCode;
    DWORD inSize;
};

// The current HCR0 value: the scan engine's power and flash-mode lines.
CEPLATFORM_API DWORD WINAPI TerminalGetHcr0(void);
CEPLATFORM_API void WINAPI TerminalSetHcr0(DWORD value);

CEPLATFORM_API DWORD WINAPI TerminalGetFaults(void);
CEPLATFORM_API void WINAPI TerminalSetFaults(DWORD faults);

// Copies up to `capacity` of the requests recorded since the last clear,
// oldest first; returns how many were recorded in all.
CEPLATFORM_API DWORD WINAPI TerminalGetDeviceRequests(TerminalDeviceRequest* requests,
                                                      DWORD capacity);
CEPLATFORM_API void WINAPI TerminalClearDeviceRequests(void);
