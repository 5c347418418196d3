// Runs a simulated scan engine on a thread of the calling process, on the far
// end of a serial line (the terminal's COM4 is wired to COM14).
#pragma once

#include <windows.h>

#include <string>

#include "common/handle.h"
#include "engine/scan_engine.h"
#include "engine/transcript.h"

namespace engine {

class EngineThread {
public:
    explicit EngineThread(EngineConfig config);
    ~EngineThread();
    EngineThread(const EngineThread&) = delete;
    EngineThread& operator=(const EngineThread&) = delete;

    // Opens and prepares the port, then starts serving it; false (with the
    // last error set) when the port cannot be used.
    bool Start(const std::wstring& portName = L"\\\\.\\COM14");
    // Ends the engine's thread and closes the port; the engine's state stays.
    void Stop();

    // Read these after Stop.
    ScanEngine& Engine() { return engine_; }
    const Transcript& Wire() const { return transcript_; }

private:
    static DWORD WINAPI ThreadMain(LPVOID self);

    EngineConfig config_;
    ScanEngine engine_;
    Transcript transcript_;
    common::UniqueFile port_;
    common::UniqueKernel stop_;
    common::UniqueKernel thread_;
};

} // namespace engine
