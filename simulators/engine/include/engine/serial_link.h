// The engine's end of the serial line: byte reads that give up on a deadline
// or when the engine is told to stop, one-byte writes, every byte recorded in
// the transcript, and optional pacing at a real line speed.
#pragma once

#include <windows.h>

#include <functional>

#include "engine/transcript.h"

namespace engine {

class SerialLink {
public:
    // `port` and `stop` are borrowed. A pacing baud of 0 sends as fast as the
    // line takes bytes.
    SerialLink(HANDLE port, HANDLE stop, Transcript& transcript, DWORD pacingBaud);

    // Configures the port (8N1, no flow control, short read slices) and drops
    // what is left on the line from an earlier session.
    bool Prepare();

    // Reads `count` bytes within `timeoutMs`; false on timeout, when `listening`
    // (if given) says no before one of the read slices, and on stop once the
    // bytes already on the line have been taken.
    bool Receive(BYTE* bytes, DWORD count, DWORD timeoutMs,
                 const std::function<bool()>& listening = {});
    void Send(BYTE value);
    // Waits `ms` unless told to stop first; false when stopping.
    bool Pause(DWORD ms);
    bool Stopping() const;

    static constexpr DWORD SliceMs = 50;

private:
    void Pace();

    HANDLE port_;
    HANDLE stop_;
    Transcript& transcript_;
    DWORD pacingBaud_;
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER lineClock_{};
};

} // namespace engine
