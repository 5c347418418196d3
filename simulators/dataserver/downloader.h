// Firmware downloads that the data server runs on its own port handle with
// the flash download library beside it.
#pragma once

#include <windows.h>

#include <string>

#include "port_hold.h"

namespace dataserver {

// The download description: "driver,image,library".
struct DownloadDescription {
    std::wstring flashDriver;
    std::wstring firmwareImage;
    std::wstring upgradeLibrary;
};
// False when the text does not hold three comma-separated parts.
bool ParseDescription(const std::wstring& text, DownloadDescription& description);

// Q4MUpgrade.dll in the data server's own folder.
std::wstring UpgradeLibraryPath();

// Runs Q4MUpgrade with the held port lent to it; the library's status, or
// the failure (negative) that kept it from running.
LONG RunDownload(PortHold& port, const std::wstring& descriptionText);

} // namespace dataserver
