// The scan engine's power and flash-mode lines. On most terminals they are
// reached through the system I/O stream driver "SYI1:"; on the platforms of
// the platform table they are bits of the hardware control register HCR0,
// which other software shares under the mutex "HVT_HCR0".
#pragma once

#include <windows.h>

#include "common/handle.h"

// How the lines are driven, decided once per process from the platform name.
enum PlatformType : int {
    PlatformSystemIoDriver = 0, // "SYI1:" device I/O controls
    PlatformHcr0 = 1,           // bits of HCR0
};

// The platform type, detected at the first call (or the first call after
// ForgetPlatformType) and kept.
PlatformType DetectedPlatformType();
// Makes the next sysIo detect the platform afresh, as after a reload.
void ForgetPlatformType();

// HCR0 kept by this process: its mapping, the mutex and the attach count.
bool Hcr0Attach();
void Hcr0Detach();
// Writes (value | set) & ~clear under the mutex; false when the register is
// not accessible or the mutex was not obtained within 1000 ms.
bool Hcr0Modify(DWORD set, DWORD clear);
int Hcr0AttachCount();

// Status codes of the sysIo operations.
constexpr LONG SYSIO_SUCCESS = 0;

struct DeviceHandleTraits {
    using Type = HANDLE;
    static Type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Type h) noexcept;
};
using UniqueDevice = common::UniqueHandle<DeviceHandleTraits>;

// Created for one power or mode operation and destroyed right after it.
class sysIo {
public:
    sysIo();
    ~sysIo();
    sysIo(const sysIo&) = delete;
    sysIo& operator=(const sysIo&) = delete;

    // 1 powers the engine up, 0 down. 0 or a 0xC162xxxx code.
    LONG SetScanPower(int on);
    // 1 selects flash (download) mode, 0 scanning mode. 0 or a 0xC162xxxx code.
    LONG SetScanMode(int mode);

private:
    PlatformType type_;
    UniqueDevice driver_;
};
