// Makes a serial port look busy to every other program while the data server
// holds it. Under Wine two programs may open the same port, so the data
// server withdraws the port's device mapping from the terminal's dosdevices
// folder (and puts a folder in its place, which the system refuses to open
// as a port: ERROR_ACCESS_DENIED, as for a port in use) and puts the mapping
// back when it lets the port go or lends it to the flash download library.
#pragma once

#include <string>

namespace dataserver {

class PortMapping {
public:
    // portName as programs open it: "COM4:", "COM4" or "\\.\COM4".
    explicit PortMapping(const std::wstring& portName);

    bool Withdraw();
    bool Restore();
    bool Withdrawn() const;
    // Puts back a mapping that an earlier data server left withdrawn.
    bool RepairStale();

private:
    bool RunHostCommand(const std::wstring& script) const;

    std::wstring unixLink_;    // .../dosdevices/com4
    std::wstring unixAside_;   // where the mapping waits while withdrawn
    std::wstring windowsLink_; // the same link seen through drive Z:
    std::wstring windowsAside_;
};

} // namespace dataserver
