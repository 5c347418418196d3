#include "configuration.h"

#include <windows.h>

#include "common/handle.h"

namespace q4mutil {

const wchar_t kConfigurationKey[] = L"Software\\Harvanti\\ADCDevices\\Q4M";

const wchar_t kPortValue[] = L"Default";
const wchar_t kFirmwareImageValue[] = L"FirmwareImage";
const wchar_t kFlashDriverValue[] = L"FlashDriver";
const wchar_t kUpgradeDllValue[] = L"Q4MUpgradeDll";
const wchar_t kDefaultPort[] = L"COM4:";
const wchar_t kDefaultFirmwareImage[] = L"\\Storage Card\\HVT\\Q4M\\Q4Mfirmware.bin";
const wchar_t kDefaultFlashDriver[] = L"\\Storage Card\\HVT\\Q4M\\Q4MDriver.drx";
const wchar_t kDefaultUpgradeDll[] = L"\\Storage Card\\HVT\\Q4M\\Q4MUpgrade.dll";

namespace {
constexpr DWORD kValueBytes = 260;
} // namespace

bool ReadConfiguration(const wchar_t* valueName, std::wstring& destination) {
    common::UniqueKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kConfigurationKey, 0, KEY_ALL_ACCESS, key.put()) !=
        ERROR_SUCCESS) {
        return false;
    }
    // One character more than the value may fill, so that a value stored
    // without its terminator still ends.
    wchar_t value[kValueBytes / sizeof(wchar_t) + 1] = {};
    DWORD size = kValueBytes;
    if (::RegQueryValueExW(key.get(), valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                           &size) != ERROR_SUCCESS) {
        return false;
    }
    destination = value;
    return true;
}

} // namespace q4mutil
