#include "hardware.h"

#include "common/handle.h"

namespace platform {
namespace {

struct SharedBlock {
    common::UniqueKernel mapping;
    common::UniqueView view;
};

// Opened once per process and kept: the shared state lives while any process
// of the terminal holds it.
SharedBlock OpenShared(const wchar_t* name, DWORD size) {
    SharedBlock block;
    block.mapping.reset(
        ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name));
    if (block.mapping) {
        block.view.reset(::MapViewOfFile(block.mapping.get(), FILE_MAP_WRITE, 0, 0, size));
    }
    return block;
}

SharedBlock& RegisterPage() {
    static SharedBlock page = OpenShared(L"TerminalSimulator.HCR0", kRegisterPageSize);
    return page;
}

SharedBlock& SimulatorBlock() {
    static SharedBlock block = OpenShared(L"TerminalSimulator.Hardware", sizeof(SimulatorState));
    return block;
}

} // namespace

HANDLE RegisterPageMapping() {
    return RegisterPage().mapping.get();
}

volatile LONG* Hcr0() {
    return static_cast<volatile LONG*>(RegisterPage().view.get());
}

SimulatorState* Simulator() {
    return static_cast<SimulatorState*>(SimulatorBlock().view.get());
}

common::MutexHold LockSimulator() {
    static common::UniqueKernel lock(
        ::CreateMutexW(nullptr, FALSE, L"TerminalSimulator.HardwareLock"));
    if (!lock) {
        return {};
    }
    DWORD result = ::WaitForSingleObject(lock.get(), INFINITE);
    if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED) {
        return {};
    }
    return common::MutexHold(lock.get());
}

bool FaultActive(DWORD fault) {
    SimulatorState* state = Simulator();
    return state != nullptr && (static_cast<DWORD>(state->faults) & fault) != 0;
}

} // namespace platform

using namespace platform;

CEPLATFORM_API DWORD WINAPI TerminalGetHcr0(void) {
    volatile LONG* hcr0 = Hcr0();
    return hcr0 != nullptr ? static_cast<DWORD>(*hcr0) : 0;
}

CEPLATFORM_API void WINAPI TerminalSetHcr0(DWORD value) {
    if (volatile LONG* hcr0 = Hcr0()) {
        ::InterlockedExchange(hcr0, static_cast<LONG>(value));
    }
}

CEPLATFORM_API DWORD WINAPI TerminalGetFaults(void) {
    SimulatorState* state = Simulator();
    return state != nullptr ? static_cast<DWORD>(state->faults) : 0;
}

CEPLATFORM_API void WINAPI TerminalSetFaults(DWORD faults) {
    if (SimulatorState* state = Simulator()) {
        ::InterlockedExchange(&state->faults, static_cast<LONG>(faults));
    }
}

CEPLATFORM_API DWORD WINAPI TerminalGetDeviceRequests(TerminalDeviceRequest* requests,
                                                      DWORD capacity) {
    SimulatorState* state = Simulator();
    common::MutexHold hold = LockSimulator();
    if (state == nullptr || !hold.held()) {
        return 0;
    }
    DWORD kept =
        state->requestCount < kMaxRecordedRequests ? state->requestCount : kMaxRecordedRequests;
    for (DWORD i = 0; i < kept && i < capacity && requests != nullptr; ++i) {
        requests[i] = state->requests[i];
    }
    return state->requestCount;
}

CEPLATFORM_API void WINAPI TerminalClearDeviceRequests(void) {
    SimulatorState* state = Simulator();
    common::MutexHold hold = LockSimulator();
    if (state == nullptr || !hold.held()) {
        return;
    }
    state->requestCount = 0;
}
