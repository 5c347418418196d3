#include "engine_port.h"

namespace {

constexpr DWORD DownloadBaud = CBR_38400;
constexpr DWORD SetupTimeoutMs = 3000;

} // namespace

HANDLE OpenEnginePort(const wchar_t* name) {
    if (name == nullptr) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    return ::CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

void ConfigureEnginePort(HANDLE port, DCB* applied, COMMTIMEOUTS* timeouts) {
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    dcb.BaudRate = DownloadBaud;
    dcb.fBinary = TRUE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    ::SetCommState(port, &dcb);
    *applied = DCB{};
    applied->DCBlength = sizeof(DCB);
    if (!::GetCommState(port, applied)) {
        *applied = dcb;
    }
    ::PurgeComm(port, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    COMMTIMEOUTS setup{};
    setup.ReadTotalTimeoutConstant = SetupTimeoutMs;
    setup.WriteTotalTimeoutConstant = SetupTimeoutMs;
    ::SetCommTimeouts(port, &setup);
    *timeouts = COMMTIMEOUTS{};
    ::GetCommTimeouts(port, timeouts);
}

MultibytePath ToMultibyte(const wchar_t* path) {
    MultibytePath converted{};
    if (path == nullptr || ::WideCharToMultiByte(CP_ACP, 0, path, -1, converted.text,
                                                 sizeof(converted.text), nullptr, nullptr) == 0) {
        converted.text[0] = '\0';
    }
    return converted;
}
