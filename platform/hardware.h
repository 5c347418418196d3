// The simulated terminal hardware shared by every process: the HCR0 register
// page and the simulator's own bookkeeping.
#pragma once

#include <windows.h>

#include "ceplatform.h"
#include "common/handle.h"

namespace platform {

constexpr DWORD kRegisterPageSize = 4096;
constexpr DWORD kMaxRecordedRequests = 64;
constexpr ULONG_PTR TERMINAL_HCR0_PAGE = TERMINAL_HCR0_ADDRESS & ~ULONG_PTR(kRegisterPageSize - 1);

struct SimulatorState {
    volatile LONG faults;
    DWORD requestCount;
    TerminalDeviceRequest requests[kMaxRecordedRequests];
};

// The register page mapping, shared by name; nullptr when it cannot be had.
HANDLE RegisterPageMapping();

// HCR0 inside this process's own view of the register page.
volatile LONG* Hcr0();

SimulatorState* Simulator();

// Serialises the simulator's bookkeeping across processes; empty when the
// lock cannot be taken.
common::MutexHold LockSimulator();

bool FaultActive(DWORD fault);

// Counts a reboot request of the kernel (power.cpp).
void RecordRebootRequest();

} // namespace platform
