// The sockets header goes before the platform's.
#include <winsock2.h>

#include "phonebook.h"

#include <cstdio>
#include <cstring>

namespace entrovia {

EntryRecord::EntryRecord(const std::wstring& name) : name_(name) {
    DWORD needed = 0;
    RasGetEntryProperties(nullptr, name_.c_str(), nullptr, &needed, nullptr, nullptr);
    size_ = needed > sizeof(RASENTRY) ? needed : sizeof(RASENTRY);
    memory_.reset(::LocalAlloc(LPTR, size_));
    if (memory_) {
        get().dwSize = sizeof(RASENTRY);
        DWORD size = size_;
        RasGetEntryProperties(nullptr, name_.c_str(), &get(), &size, nullptr, nullptr);
        get().dwSize = sizeof(RASENTRY);
    }
}

void EntryRecord::Write() const {
    if (memory_) {
        RasSetEntryProperties(nullptr, name_.c_str(), &get(), size_, nullptr, 0);
    }
}

DialParameters ReadDialParameters(const std::wstring& name) {
    DialParameters read = {};
    read.params.dwSize = sizeof(RASDIALPARAMS);
    RasCopyField(read.params.szEntryName, name);
    if (RasGetEntryDialParams(nullptr, &read.params, &read.passwordStored) != ERROR_SUCCESS) {
        read.passwordStored = FALSE;
    }
    return read;
}

std::vector<Device> EnumDevices() {
    std::vector<Device> devices;
    DWORD bytes = 0;
    DWORD count = 0;
    RasEnumDevices(nullptr, &bytes, &count);
    if (bytes < sizeof(RASDEVINFO)) {
        bytes = sizeof(RASDEVINFO);
    }
    common::UniqueLocal memory(::LocalAlloc(LPTR, bytes));
    if (!memory) {
        return devices;
    }
    auto* list = static_cast<RASDEVINFO*>(memory.get());
    list->dwSize = sizeof(RASDEVINFO);
    if (RasEnumDevices(list, &bytes, &count) != ERROR_SUCCESS) {
        return devices;
    }
    for (DWORD i = 0; i < count && (i + 1) * sizeof(RASDEVINFO) <= bytes; ++i) {
        devices.push_back({std::wstring(RasFieldText(list[i].szDeviceType)),
                           std::wstring(RasFieldText(list[i].szDeviceName))});
    }
    return devices;
}

bool DeviceTypeOf(std::wstring_view name, std::wstring& type) {
    for (const Device& device : EnumDevices()) {
        if (device.name == name) {
            type = device.type;
            return true;
        }
    }
    return false;
}

std::wstring FormatAddress(const RASIPADDR& address) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%d.%d.%d.%d", address.d, address.c, address.b, address.a);
    return text;
}

RASIPADDR ParseAddress(std::wstring_view text) {
    const std::wstring wide(text);
    char ansi[64] = {};
    // The sockets library gives the octets in their written order; text it
    // cannot read (too long for any address, too) gives 255.255.255.255.
    const unsigned long parsed = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi,
                                                       sizeof(ansi), nullptr, nullptr) != 0
                                     ? ::inet_addr(ansi)
                                     : INADDR_NONE;
    BYTE octets[4];
    std::memcpy(octets, &parsed, 4);
    return RASIPADDR{octets[3], octets[2], octets[1], octets[0]};
}

} // namespace entrovia
