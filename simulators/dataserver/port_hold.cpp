#include "port_hold.h"

namespace dataserver {

namespace {
// The line settings of the data server's barcode traffic; the flash download
// library saves and restores them around a download.
constexpr DWORD kReaderBaud = 9600;
} // namespace

PortHold::PortHold(std::wstring portName) : name_(std::move(portName)), mapping_(name_) {}

bool PortHold::Acquire() {
    if (Held()) {
        return true;
    }
    mapping_.RepairStale();
    port_.reset(::CreateFileW(name_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr));
    if (!port_ || !Configure() || !mapping_.Withdraw()) {
        Release();
        return false;
    }
    return true;
}

void PortHold::Release() {
    mapping_.Restore();
    port_.reset();
}

bool PortHold::Configure() {
    DCB line{};
    line.DCBlength = sizeof(line);
    if (!::GetCommState(port_.get(), &line)) {
        return false;
    }
    line.BaudRate = kReaderBaud;
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = ONESTOPBIT;
    line.fBinary = TRUE;
    return ::SetCommState(port_.get(), &line) != FALSE;
}

HANDLE* PortHold::Lend() {
    mapping_.Restore();
    slot_ = port_.release();
    return &slot_;
}

void PortHold::Reclaim() {
    port_.reset(slot_);
    slot_ = INVALID_HANDLE_VALUE;
    if (!port_) {
        port_.reset(::CreateFileW(name_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
        if (port_) {
            Configure();
        }
    }
    if (port_) {
        mapping_.Withdraw();
    }
}

} // namespace dataserver
