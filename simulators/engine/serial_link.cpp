#include "engine/serial_link.h"

namespace engine {

SerialLink::SerialLink(HANDLE port, HANDLE stop, Transcript& transcript, DWORD pacingBaud)
    : port_(port), stop_(stop), transcript_(transcript), pacingBaud_(pacingBaud) {
    ::QueryPerformanceFrequency(&frequency_);
    ::QueryPerformanceCounter(&lineClock_);
}

bool SerialLink::Prepare() {
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (!::GetCommState(port_, &dcb)) {
        return false;
    }
    dcb.BaudRate = CBR_38400;
    dcb.fBinary = TRUE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = SliceMs;
    timeouts.WriteTotalTimeoutConstant = 1000;
    return ::SetCommState(port_, &dcb) && ::SetCommTimeouts(port_, &timeouts) &&
           ::PurgeComm(port_, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
}

bool SerialLink::Stopping() const {
    return ::WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0;
}

bool SerialLink::Pause(DWORD ms) {
    return ::WaitForSingleObject(stop_, ms) == WAIT_TIMEOUT;
}

bool SerialLink::Receive(BYTE* bytes, DWORD count, DWORD timeoutMs,
                         const std::function<bool()>& listening) {
    DWORD start = ::GetTickCount();
    DWORD have = 0;
    while (have < count) {
        // Told to stop, the engine still takes what the host sent before: one
        // more read slice, then it gives up.
        const bool stopping = Stopping();
        if (listening && !listening()) {
            return false;
        }
        DWORD got = 0;
        if (!::ReadFile(port_, bytes + have, count - have, &got, nullptr)) {
            got = 0;
            ::Sleep(SliceMs); // a failing port would otherwise spin
        }
        for (DWORD i = 0; i < got; ++i) {
            Pace();
            transcript_.Record(Direction::FromHost, bytes[have + i]);
        }
        have += got;
        if (have < count && (stopping || ::GetTickCount() - start >= timeoutMs)) {
            return false;
        }
    }
    return true;
}

void SerialLink::Send(BYTE value) {
    Pace();
    transcript_.Record(Direction::FromEngine, value);
    DWORD written = 0;
    ::WriteFile(port_, &value, 1, &written, nullptr);
}

// Holds each byte back until a line at the pacing baud would have carried it
// (start bit, eight data bits, stop bit).
void SerialLink::Pace() {
    if (pacingBaud_ == 0) {
        return;
    }
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    // A line idle for a while starts afresh; a short lag (a late wake-up from
    // the last pause) is made up by the bytes that follow.
    if (now.QuadPart - lineClock_.QuadPart > frequency_.QuadPart / 200) {
        lineClock_ = now;
    }
    lineClock_.QuadPart += frequency_.QuadPart * 10 / pacingBaud_;
    LONGLONG ahead = lineClock_.QuadPart - now.QuadPart;
    if (ahead >= frequency_.QuadPart / 1000) {
        ::Sleep(static_cast<DWORD>(ahead * 1000 / frequency_.QuadPart));
    }
}

} // namespace engine
