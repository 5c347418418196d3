#include <gtest/gtest.h>

#include <windows.h>

#include "ceplatform.h"
#include "common/handle.h"
#include "testsupport/child.h"

namespace {

constexpr wchar_t kConfigKey[] = L"Software\\TerminalSimulator";

std::string PlatformNameFromKernel() {
    char info[TERMINAL_DEVICE_INFO_SIZE];
    DWORD returned = 0;
    if (!KernelIoControl(IOCTL_TERMINAL_DEVICE_INFO, nullptr, 0, info, sizeof(info), &returned)) {
        return "<failed>";
    }
    return info + TERMINAL_PLATFORM_NAME_OFFSET;
}

// Sets the terminal's platform name for one test and puts the old one back.
class PlatformName {
public:
    explicit PlatformName(const char* name) {
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kConfigKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          key_.put(), nullptr);
        DWORD size = sizeof(old_);
        hadOld_ = ::RegQueryValueExA(key_.get(), "PlatformName", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(old_), &size) == ERROR_SUCCESS;
        ::RegSetValueExA(key_.get(), "PlatformName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                         static_cast<DWORD>(strlen(name) + 1));
    }
    ~PlatformName() {
        if (hadOld_) {
            ::RegSetValueExA(key_.get(), "PlatformName", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(old_),
                             static_cast<DWORD>(strlen(old_) + 1));
        } else {
            ::RegDeleteValueA(key_.get(), "PlatformName");
        }
    }

private:
    common::UniqueKey key_;
    char old_[128] = {};
    bool hadOld_ = false;
};

class Hcr0Mapping {
public:
    Hcr0Mapping() {
        base_ = ::VirtualAlloc(nullptr, 0x201000, MEM_RESERVE, PAGE_NOACCESS);
        mapped_ = VirtualCopy(base_, reinterpret_cast<void*>(TERMINAL_HCR0_ADDRESS), 4096,
                              PAGE_READWRITE | PAGE_NOCACHE);
    }
    ~Hcr0Mapping() { CeVirtualFree(base_, 0, MEM_RELEASE); }
    bool mapped() const { return mapped_ != FALSE; }
    volatile DWORD& value() { return *static_cast<volatile DWORD*>(base_); }

private:
    void* base_;
    BOOL mapped_;
};

int ReportHcr0(const std::vector<std::wstring>&) {
    return static_cast<int>(TerminalGetHcr0());
}
testsupport::ChildRegistration reportHcr0(L"report-hcr0", ReportHcr0);

} // namespace

TEST(DeviceInformation, CarriesTheConfiguredPlatformNameAtOffset39) {
    {
        PlatformName brinex("Brinex");
        EXPECT_EQ(PlatformNameFromKernel(), "Brinex");
    }
    PlatformName other("Q4Terminal");
    EXPECT_EQ(PlatformNameFromKernel(), "Q4Terminal");
}

TEST(DeviceInformation, RejectsAShortBufferAndUnknownCodesAndObeysTheFault) {
    char small[100];
    DWORD returned = 0;
    EXPECT_FALSE(
        KernelIoControl(IOCTL_TERMINAL_DEVICE_INFO, nullptr, 0, small, sizeof(small), &returned));
    char info[TERMINAL_DEVICE_INFO_SIZE];
    EXPECT_FALSE(KernelIoControl(0x01012004, nullptr, 0, info, sizeof(info), &returned));

    TerminalSetFaults(TERMINAL_FAULT_DEVICE_INFO);
    EXPECT_EQ(PlatformNameFromKernel(), "<failed>");
    TerminalSetFaults(0);
}

TEST(Hcr0, MappedRegisterIsTheSharedLineState) {
    Hcr0Mapping mapping;
    ASSERT_TRUE(mapping.mapped()) << ::GetLastError();
    TerminalSetHcr0(0x12345600);
    EXPECT_EQ(mapping.value(), 0x12345600u);
    mapping.value() = 0x00000030;
    EXPECT_EQ(TerminalGetHcr0(), 0x30u);
    EXPECT_EQ(testsupport::RunChild(L"report-hcr0"), 0x30u);
    TerminalSetHcr0(0);
}

TEST(Hcr0, OnlyTheRegisterPageIntoAReservationCanBeMapped) {
    void* reserved = ::VirtualAlloc(nullptr, 0x201000, MEM_RESERVE, PAGE_NOACCESS);
    EXPECT_FALSE(VirtualCopy(reserved, reinterpret_cast<void*>(0xA0000000), 4096, PAGE_READWRITE));
    EXPECT_FALSE(VirtualCopy(static_cast<char*>(reserved) + 0x10000,
                             reinterpret_cast<void*>(TERMINAL_HCR0_ADDRESS), 4096, PAGE_READWRITE));
    ::VirtualFree(reserved, 0, MEM_RELEASE);

    void* committed = ::VirtualAlloc(nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    EXPECT_FALSE(VirtualCopy(committed, reinterpret_cast<void*>(TERMINAL_HCR0_ADDRESS), 4096,
                             PAGE_READWRITE));
    ::VirtualFree(committed, 0, MEM_RELEASE);

    TerminalSetFaults(TERMINAL_FAULT_VIRTUAL_COPY);
    Hcr0Mapping refused;
    EXPECT_FALSE(refused.mapped());
    TerminalSetFaults(0);
}

TEST(Hcr0, PhysicalAddressFormIsAccepted) {
    void* reserved = ::VirtualAlloc(nullptr, 0x201000, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_TRUE(VirtualCopy(reserved, reinterpret_cast<void*>(TERMINAL_HCR0_ADDRESS >> 8), 4096,
                            PAGE_READWRITE | PAGE_NOCACHE | 0x400));
    TerminalSetHcr0(0x20);
    EXPECT_EQ(*static_cast<volatile DWORD*>(reserved), 0x20u);
    EXPECT_TRUE(CeVirtualFree(reserved, 0, MEM_RELEASE));
    TerminalSetHcr0(0);
}
