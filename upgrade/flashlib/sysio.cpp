#include "sysio.h"

#include <cstdio>
#include <cstring>

#include "HVTEventLog.h"
#include "ceplatform.h"
#include "upgrade_events.h"

namespace ev = hvt::upgrade;

namespace {

struct PlatformRow {
    const char* name;
    PlatformType type;
};

// Platforms whose engine lines are bits of HCR0; every other one has "SYI1:".
// Names compare exactly as the kernel reports them.
constexpr PlatformRow PlatformTable[] = {
    {"Brinex", PlatformHcr0},
};

constexpr DWORD PageSize = 0x1000;
constexpr SIZE_T Hcr0Reservation = 0x201000;
constexpr DWORD Hcr0MutexWaitMs = 1000;

constexpr LONG DriverModeFailed = static_cast<LONG>(ev::SysIoModeRequestFailed);
constexpr LONG DriverPowerFailed = static_cast<LONG>(ev::SysIoPowerRequestFailed);
constexpr LONG Hcr0ModeFailed = static_cast<LONG>(ev::Hcr0ModeNotAccessible);
constexpr LONG Hcr0PowerFailed = static_cast<LONG>(ev::Hcr0PowerNotAccessible);

constexpr DWORD PowerOnSettleMs = 50;
constexpr DWORD ModeSettleMs = 200;

bool platformKnown = false;
PlatformType platformType = PlatformSystemIoDriver;

PlatformType DetectPlatform() {
    char info[TERMINAL_DEVICE_INFO_SIZE] = {};
    DWORD returned = 0;
    if (!::KernelIoControl(IOCTL_TERMINAL_DEVICE_INFO, nullptr, 0, info, sizeof(info), &returned)) {
        return PlatformSystemIoDriver;
    }
    info[TERMINAL_DEVICE_INFO_SIZE - 1] = '\0'; // the name ends inside the answer whatever it holds
    const char* name = info + TERMINAL_PLATFORM_NAME_OFFSET;
    for (const PlatformRow& row : PlatformTable) {
        if (std::strcmp(name, row.name) == 0) {
            return row.type;
        }
    }
    return PlatformSystemIoDriver;
}

// HCR0 as this process sees it. The library is not re-entrant: one power or
// mode operation runs at a time in a process, so this needs no lock of its own.
struct Hcr0State {
    void* mapping = nullptr; // start of the reservation the page is mapped at
    common::UniqueKernel mutex;
    int attachCount = 0;
};

Hcr0State& Hcr0() {
    static Hcr0State state;
    return state;
}

volatile DWORD* Hcr0Register() {
    auto* page = static_cast<volatile BYTE*>(Hcr0().mapping);
    return reinterpret_cast<volatile DWORD*>(page + (TERMINAL_HCR0_ADDRESS & (PageSize - 1)));
}

bool MapHcr0() {
    void* reservation = ::VirtualAlloc(nullptr, Hcr0Reservation, MEM_RESERVE, PAGE_NOACCESS);
    if (reservation == nullptr) {
        return false;
    }
    if (!::VirtualCopy(reservation,
                       reinterpret_cast<LPVOID>(TERMINAL_HCR0_ADDRESS & ~ULONG_PTR(PageSize - 1)),
                       PageSize, PAGE_READWRITE | PAGE_NOCACHE)) {
        DWORD error = ::GetLastError();
        ::VirtualFree(reservation, 0, MEM_RELEASE);
        ::SetLastError(error);
        return false;
    }
    Hcr0().mapping = reservation;
    return true;
}

void RaiseFailure(LONG status) {
    HVTLogEvent(static_cast<DWORD>(status), ::GetLastError(), 0);
}

} // namespace

void DeviceHandleTraits::close(HANDLE h) noexcept {
    ::CeCloseDevice(h);
}

PlatformType DetectedPlatformType() {
    if (!platformKnown) {
        platformType = DetectPlatform();
        platformKnown = true;
    }
    return platformType;
}

void ForgetPlatformType() {
    platformKnown = false;
    platformType = PlatformSystemIoDriver;
}

bool Hcr0Attach() {
    Hcr0State& state = Hcr0();
    if (state.attachCount == 0) {
        if (state.mapping == nullptr && !MapHcr0()) {
            return false;
        }
        if (!state.mutex) {
            state.mutex.reset(::CreateMutexW(nullptr, FALSE, L"HVT_HCR0"));
            if (!state.mutex) {
                char text[64];
                std::snprintf(text, sizeof(text), "Error %lu in HCR0 CreateMutex\r\n",
                              ::GetLastError());
                ::OutputDebugStringA(text);
                return false;
            }
        }
    }
    ++state.attachCount;
    return true;
}

void Hcr0Detach() {
    Hcr0State& state = Hcr0();
    if (state.attachCount > 0) {
        --state.attachCount;
    }
    if (state.attachCount == 0) {
        state.mutex.reset();
        if (state.mapping != nullptr) {
            ::CeVirtualFree(state.mapping, 0, MEM_RELEASE);
            state.mapping = nullptr;
        }
    }
}

bool Hcr0Modify(DWORD set, DWORD clear) {
    Hcr0State& state = Hcr0();
    if (!state.mutex || state.mapping == nullptr) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    DWORD wait = ::WaitForSingleObject(state.mutex.get(), Hcr0MutexWaitMs);
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
        // Another owner still holds the register: writing now could undo its
        // change, so this request fails instead.
        ::SetLastError(wait == WAIT_TIMEOUT ? ERROR_TIMEOUT : ::GetLastError());
        return false;
    }
    common::MutexHold hold(state.mutex.get());
    volatile DWORD* reg = Hcr0Register();
    *reg = (*reg | set) & ~clear;
    return true;
}

int Hcr0AttachCount() {
    return Hcr0().attachCount;
}

sysIo::sysIo() : type_(DetectedPlatformType()) {
    if (type_ == PlatformHcr0) {
        HVTLogEvent(ev::SysIoUsesHcr0, 0, 0);
        if (!Hcr0Attach()) {
            HVTLogEvent(ev::Hcr0AttachFailed, ::GetLastError(), 0);
        }
        return;
    }
    HVTLogEvent(ev::SysIoUsesDriver, 0, 0);
    driver_.reset(::CeOpenDevice(L"SYI1:", GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL));
    if (!driver_) {
        HVTLogEvent(ev::SysIoDriverOpenFailed, ::GetLastError(), 0);
    }
}

sysIo::~sysIo() {
    if (type_ == PlatformHcr0) {
        Hcr0Detach();
    }
}

LONG sysIo::SetScanPower(int on) {
    HVTLogEvent(ev::ScanPowerRequested, static_cast<DWORD>(on), 0);
    LONG status = SYSIO_SUCCESS;
    if (type_ == PlatformHcr0) {
        bool done = on ? Hcr0Modify(0, HCR0_SCAN_POWER_OFF) : Hcr0Modify(HCR0_SCAN_POWER_OFF, 0);
        status = done ? SYSIO_SUCCESS : Hcr0PowerFailed;
    } else {
        DWORD returned = 0;
        // The input length carries the request: 1 powers up, 0 powers down.
        BOOL done = ::CeDeviceIoControl(driver_.get(), IOCTL_SYI_SCAN_POWER, nullptr, on ? 1 : 0,
                                        nullptr, 0, &returned, nullptr);
        status = done ? SYSIO_SUCCESS : DriverPowerFailed;
    }
    if (status != SYSIO_SUCCESS) {
        RaiseFailure(status);
    }
    if (on) {
        ::Sleep(PowerOnSettleMs);
    }
    return status;
}

LONG sysIo::SetScanMode(int mode) {
    HVTLogEvent(ev::ScannerModeRequested, static_cast<DWORD>(mode), 0);
    LONG status = SYSIO_SUCCESS;
    if (type_ == PlatformHcr0) {
        bool done =
            mode == 1 ? Hcr0Modify(HCR0_SCAN_FLASH_MODE, 0) : Hcr0Modify(0, HCR0_SCAN_FLASH_MODE);
        status = done ? SYSIO_SUCCESS : Hcr0ModeFailed;
    } else {
        DWORD returned = 0;
        BOOL done = ::CeDeviceIoControl(driver_.get(), IOCTL_SYI_SCAN_MODE, nullptr,
                                        mode != 0 ? 1 : 0, nullptr, 0, &returned, nullptr);
        status = done ? SYSIO_SUCCESS : DriverModeFailed;
    }
    if (status != SYSIO_SUCCESS) {
        RaiseFailure(status);
        return status;
    }
    ::Sleep(ModeSettleMs);
    return status;
}
