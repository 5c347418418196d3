// The device manager's stream drivers. The terminal has one that matters
// here: "SYI1:", the system I/O driver that drives the scan engine's power
// and flash-mode lines (the same lines as bits of HCR0).
#include <map>
#include <mutex>

#include "common/handle.h"
#include "hardware.h"

namespace {

enum class Device { SystemIo };

struct DriverName {
    const wchar_t* name;
    Device device;
};
constexpr DriverName kDrivers[] = {{L"SYI1:", Device::SystemIo}};

std::mutex openLock;
std::map<HANDLE, Device> openDevices; // this process's open driver handles

bool FindOpen(HANDLE handle, Device* device) {
    std::lock_guard<std::mutex> hold(openLock);
    auto found = openDevices.find(handle);
    if (found == openDevices.end()) {
        return false;
    }
    *device = found->second;
    return true;
}

void Record(DWORD ioControlCode, DWORD inSize) {
    platform::SimulatorState* state = platform::Simulator();
    common::MutexHold hold = platform::LockSimulator();
    if (state == nullptr || !hold.held()) {
        return;
    }
    if (state->requestCount < platform::kMaxRecordedRequests) {
        state->requests[state->requestCount] = {ioControlCode, inSize};
    }
    ++state->requestCount;
}

// Sets or clears one line bit of HCR0.
BOOL DriveLine(DWORD bit, bool set) {
    volatile LONG* hcr0 = platform::Hcr0();
    if (hcr0 == nullptr) {
        ::SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }
    if (set) {
        ::InterlockedOr(hcr0, static_cast<LONG>(bit));
    } else {
        ::InterlockedAnd(hcr0, ~static_cast<LONG>(bit));
    }
    return TRUE;
}

BOOL SystemIoControl(DWORD ioControlCode, DWORD inSize) {
    Record(ioControlCode, inSize);
    if (platform::FaultActive(TERMINAL_FAULT_SYI_IOCTL)) {
        ::SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }
    switch (ioControlCode) {
    case IOCTL_SYI_SCAN_POWER:
        return DriveLine(HCR0_SCAN_POWER_OFF, inSize == 0);
    case IOCTL_SYI_SCAN_MODE:
        return DriveLine(HCR0_SCAN_FLASH_MODE, inSize != 0);
    default:
        ::SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
}

} // namespace

CEPLATFORM_API HANDLE WINAPI CeOpenDevice(LPCWSTR name, DWORD /*access*/, DWORD /*shareMode*/,
                                          DWORD creation, DWORD /*flags*/) {
    if (name == nullptr) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    for (const DriverName& driver : kDrivers) {
        if (::lstrcmpiW(name, driver.name) != 0) {
            continue;
        }
        if (creation != OPEN_EXISTING) {
            ::SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        if (platform::FaultActive(TERMINAL_FAULT_SYI_OPEN)) {
            ::SetLastError(ERROR_DEV_NOT_EXIST);
            return INVALID_HANDLE_VALUE;
        }
        // A kernel object of its own gives every open a distinct, closable handle.
        HANDLE handle = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (handle == nullptr) {
            return INVALID_HANDLE_VALUE;
        }
        std::lock_guard<std::mutex> hold(openLock);
        openDevices[handle] = driver.device;
        return handle;
    }
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
}

CEPLATFORM_API BOOL WINAPI CeDeviceIoControl(HANDLE device, DWORD ioControlCode,
                                             LPVOID /*inBuffer*/, DWORD inSize,
                                             LPVOID /*outBuffer*/, DWORD /*outSize*/,
                                             LPDWORD bytesReturned, LPOVERLAPPED /*overlapped*/) {
    Device which;
    if (!FindOpen(device, &which)) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (bytesReturned != nullptr) {
        *bytesReturned = 0;
    }
    return SystemIoControl(ioControlCode, inSize);
}

CEPLATFORM_API BOOL WINAPI CeCloseDevice(HANDLE device) {
    {
        std::lock_guard<std::mutex> hold(openLock);
        if (openDevices.erase(device) == 0) {
            ::SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
    }
    return ::CloseHandle(device);
}
