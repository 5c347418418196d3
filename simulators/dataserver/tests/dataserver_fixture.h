// Starts HVTDataServer.exe for a test from a folder of its own, where the
// flash download library beside it is the test stand-in, and stops it again
// (putting back the port mapping even if the server had to be killed).
#pragma once

#include <windows.h>

#include <string>

#include "HVTDataServer.h"
#include "common/com.h"
#include "common/handle.h"

namespace dstest {

class RunningDataServer {
public:
    RunningDataServer() = default;
    ~RunningDataServer() { Stop(); }
    RunningDataServer(const RunningDataServer&) = delete;
    RunningDataServer& operator=(const RunningDataServer&) = delete;

    // Starts the server and waits until it holds its port and listens. The
    // server's Q4MUpgrade.dll is a copy of `library` from the build folder.
    bool Start(const std::wstring& arguments = L"",
               const std::wstring& library = L"Q4MUpgradeStandin.dll");
    // Asks it to stop and waits for its end.
    void Stop();
    DWORD ProcessId() const { return id_; }
    HANDLE Process() const { return process_.get(); }
    static std::wstring Folder();

private:
    common::UniqueKernel process_;
    DWORD id_ = 0;
};

// Runs the data server program to its end with these arguments.
DWORD RunDataServerProgram(const std::wstring& arguments);

// A "Harvanti.BarCodeReader" configuration object, not yet initialised.
common::ComPtr<IBarCodeReaderConfig> CreateConfig();

// True when the port can be opened now; the failure code through error.
bool CanOpen(const wchar_t* port, DWORD* error = nullptr);

} // namespace dstest
