// The utility's configuration under HKLM\Software\Harvanti\ADCDevices\Q4M.
#pragma once

#include <string>

namespace q4mutil {

extern const wchar_t kConfigurationKey[];

// Value names and the defaults that apply when a value cannot be read.
extern const wchar_t kPortValue[];
extern const wchar_t kFirmwareImageValue[];
extern const wchar_t kFlashDriverValue[];
extern const wchar_t kUpgradeDllValue[];
extern const wchar_t kDefaultPort[];
extern const wchar_t kDefaultFirmwareImage[];
extern const wchar_t kDefaultFlashDriver[];
extern const wchar_t kDefaultUpgradeDll[];

// Reads one value as a string; false (destination unchanged) when the key or
// the value cannot be read.
bool ReadConfiguration(const wchar_t* valueName, std::wstring& destination);

} // namespace q4mutil
