// Owners for pages from VirtualAlloc, and a page whose address fits in a
// 32-bit value at every width (an address handed to a script as a long).
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/handle.h"

namespace common {

struct VirtualMemoryTraits {
    using Type = void*;
    static Type invalid() noexcept { return nullptr; }
    static void close(Type p) noexcept { ::VirtualFree(p, 0, MEM_RELEASE); }
};
using UniqueVirtualMemory = UniqueHandle<VirtualMemoryTraits>;

// Commits one read-write page below 2^31, walking the free regions of the low
// address space; null when none is left.
inline void* AllocateLowPage() noexcept {
    constexpr std::uintptr_t kLimit = 0x80000000u;
    SYSTEM_INFO system = {};
    ::GetSystemInfo(&system);
    const std::uintptr_t granularity = system.dwAllocationGranularity;
    std::uintptr_t address = granularity;
    while (address + system.dwPageSize <= kLimit) {
        MEMORY_BASIC_INFORMATION region = {};
        if (::VirtualQuery(reinterpret_cast<void*>(address), &region, sizeof(region)) == 0) {
            return nullptr;
        }
        const std::uintptr_t base = reinterpret_cast<std::uintptr_t>(region.BaseAddress);
        const std::uintptr_t end = base + region.RegionSize;
        if (region.State == MEM_FREE) {
            const std::uintptr_t start = (address + granularity - 1) / granularity * granularity;
            if (start + system.dwPageSize <= end && start + system.dwPageSize <= kLimit) {
                void* page = ::VirtualAlloc(reinterpret_cast<void*>(start), system.dwPageSize,
                                            MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
                if (page != nullptr) {
                    return page;
                }
            }
        }
        if (end <= address) {
            return nullptr;
        }
        address = end;
    }
    return nullptr;
}

} // namespace common
