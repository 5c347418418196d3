// The data server's hold on the scan engine's serial port.
#pragma once

#include <windows.h>

#include <string>

#include "common/handle.h"
#include "port_mapping.h"

namespace dataserver {

class PortHold {
public:
    explicit PortHold(std::wstring portName);
    ~PortHold() { Release(); }
    PortHold(const PortHold&) = delete;
    PortHold& operator=(const PortHold&) = delete;

    // Opens the port with the data server's own line settings and makes it
    // look busy to others.
    bool Acquire();
    // Closes the port and lets others open it.
    void Release();
    bool Held() const { return port_.valid(); }
    const std::wstring& Name() const { return name_; }

    // Lends the open handle to the flash download library: the port can be
    // opened by name again while the library works with it. The library may
    // leave a new handle in the slot.
    HANDLE* Lend();
    // Takes the port back after a loan (reopening it if the library left no
    // handle) and makes it look busy again.
    void Reclaim();

private:
    bool Configure();

    std::wstring name_;
    PortMapping mapping_;
    common::UniqueFile port_;
    HANDLE slot_ = INVALID_HANDLE_VALUE;
};

} // namespace dataserver
