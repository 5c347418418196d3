// The sample server as the tests reach it: loaded into the test process,
// registered for the tests that create it by class or ProgID.
#pragma once

#include <windows.h>

#include "common/com.h"
#include "common/handle.h"
#include "frame_sample.h"

struct SampleServer {
    HRESULT(WINAPI* canUnloadNow)();
    HRESULT(WINAPI* getClassObject)(REFCLSID, REFIID, void**);
    HRESULT(WINAPI* registerServer)();
    HRESULT(WINAPI* unregisterServer)();

    // Loaded once for the whole test program.
    static SampleServer& Get();
    // A new object through the server's class factory.
    common::ComPtr<ISample> Create() const;
};

// Registers the sample server for one test and removes it afterwards.
class RegisteredSample {
public:
    RegisteredSample();
    ~RegisteredSample();
    RegisteredSample(const RegisteredSample&) = delete;
    RegisteredSample& operator=(const RegisteredSample&) = delete;
    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

// Runs the thread's message loop until `done` or about ten seconds passed.
template <typename Done> bool PumpUntil(Done done) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > 10000) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return true;
}
