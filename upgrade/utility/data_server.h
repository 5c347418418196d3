// Detection of the data server: its port busy, its process running, and its
// configuration object ready for the scan engine.
#pragma once

#include <windows.h>

#include "HVTDataServer.h"
#include "common/com.h"

namespace q4mutil {

extern const wchar_t kDataServerImage[];

// True when the port can be opened for exclusive use right now.
bool PortIsFree(const wchar_t* port);

// Walks the running processes for an image name (case-insensitive), raising
// the process search events. Non-negative when found; otherwise the code of
// the failure that ended the search.
LONG FindProcess(const wchar_t* imageName);

// Creates "Harvanti.BarCodeReader" and initialises it for the scan engine;
// empty (with the failure logged) when any step fails.
common::ComPtr<IBarCodeReaderConfig> CreateReaderConfig();

// The whole detection for a port: the object when the data server owns it.
common::ComPtr<IBarCodeReaderConfig> DetectDataServer(const wchar_t* port);

} // namespace q4mutil
