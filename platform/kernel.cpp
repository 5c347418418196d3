// Kernel calls of the terminal: device information and the mapping of the
// hardware control register into a process.
#include <cstring>
#include <mutex>
#include <set>

#include "common/handle.h"
#include "cepower.h"
#include "hardware.h"

namespace {

// The platform name is terminal configuration (HKLM\Software\TerminalSimulator).
constexpr char kDefaultPlatformName[] = "HVT9000";
constexpr DWORD kPagePhysical = 0x400; // the source is a physical address >> 8

std::string PlatformName() {
    char name[TERMINAL_DEVICE_INFO_SIZE - TERMINAL_PLATFORM_NAME_OFFSET] = {};
    DWORD size = sizeof(name) - 1;
    if (::RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\TerminalSimulator", "PlatformName",
                       RRF_RT_REG_SZ, nullptr, name, &size) != ERROR_SUCCESS) {
        return kDefaultPlatformName;
    }
    return name;
}

std::mutex viewsLock;
std::set<void*> registerViews; // addresses at which VirtualCopy mapped HCR0

} // namespace

CEPLATFORM_API BOOL WINAPI KernelIoControl(DWORD ioControlCode, LPVOID /*inBuffer*/,
                                           DWORD /*inSize*/, LPVOID outBuffer, DWORD outSize,
                                           LPDWORD bytesReturned) {
    if (ioControlCode == IOCTL_HAL_REBOOT) {
        platform::RecordRebootRequest(); // the simulated terminal keeps running
        return TRUE;
    }
    if (ioControlCode != IOCTL_TERMINAL_DEVICE_INFO) {
        ::SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    if (platform::FaultActive(TERMINAL_FAULT_DEVICE_INFO)) {
        ::SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }
    if (outBuffer == nullptr || outSize < TERMINAL_DEVICE_INFO_SIZE) {
        ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* out = static_cast<char*>(outBuffer);
    std::memset(out, 0, TERMINAL_DEVICE_INFO_SIZE);
    std::string name = PlatformName();
    std::memcpy(out + TERMINAL_PLATFORM_NAME_OFFSET, name.c_str(), name.size() + 1);
    if (bytesReturned != nullptr) {
        *bytesReturned = TERMINAL_DEVICE_INFO_SIZE;
    }
    return TRUE;
}

CEPLATFORM_API BOOL WINAPI VirtualCopy(LPVOID destination, LPVOID source, DWORD size,
                                       DWORD protect) {
    ULONG_PTR address = reinterpret_cast<ULONG_PTR>(source);
    if (protect & kPagePhysical) {
        address <<= 8;
    }
    if (address != platform::TERMINAL_HCR0_PAGE || size == 0 ||
        size > platform::kRegisterPageSize) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (platform::FaultActive(TERMINAL_FAULT_VIRTUAL_COPY)) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // The destination must be the start of a reservation of the caller's. A
    // desktop cannot map into a reservation, so the reservation is released and
    // the page mapped at its address.
    MEMORY_BASIC_INFORMATION info{};
    if (::VirtualQuery(destination, &info, sizeof(info)) == 0 || info.State != MEM_RESERVE ||
        info.AllocationBase != destination || platform::RegisterPageMapping() == nullptr) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ::VirtualFree(destination, 0, MEM_RELEASE);
    void* view = ::MapViewOfFileEx(platform::RegisterPageMapping(), FILE_MAP_WRITE, 0, 0,
                                   platform::kRegisterPageSize, destination);
    if (view == nullptr) {
        return FALSE;
    }
    std::lock_guard<std::mutex> hold(viewsLock);
    registerViews.insert(view);
    return TRUE;
}

CEPLATFORM_API BOOL WINAPI CeVirtualFree(LPVOID address, SIZE_T size, DWORD freeType) {
    {
        std::lock_guard<std::mutex> hold(viewsLock);
        if (registerViews.erase(address) != 0) {
            return ::UnmapViewOfFile(address);
        }
    }
    return ::VirtualFree(address, size, freeType);
}
