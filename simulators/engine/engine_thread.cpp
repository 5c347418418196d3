#include "engine/engine_thread.h"

namespace engine {

EngineThread::EngineThread(EngineConfig config) : config_(config), engine_(std::move(config)) {}

EngineThread::~EngineThread() {
    Stop();
}

bool EngineThread::Start(const std::wstring& portName) {
    Stop();
    port_.reset(::CreateFileW(portName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr));
    if (!port_) {
        return false;
    }
    stop_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    SerialLink probe(port_.get(), stop_.get(), transcript_, config_.pacingBaud);
    if (!stop_ || !probe.Prepare()) {
        port_.reset();
        return false;
    }
    thread_.reset(::CreateThread(nullptr, 0, &EngineThread::ThreadMain, this, 0, nullptr));
    return thread_.valid();
}

void EngineThread::Stop() {
    if (thread_) {
        ::SetEvent(stop_.get());
        ::WaitForSingleObject(thread_.get(), INFINITE);
        thread_.reset();
    }
    port_.reset();
    stop_.reset();
}

DWORD WINAPI EngineThread::ThreadMain(LPVOID param) {
    auto* self = static_cast<EngineThread*>(param);
    try {
        SerialLink link(self->port_.get(), self->stop_.get(), self->transcript_,
                        self->config_.pacingBaud);
        self->engine_.Run(link);
        return 0;
    } catch (...) {
        return 1; // nothing may leave the thread
    }
}

} // namespace engine
