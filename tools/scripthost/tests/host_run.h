// One run of HVTScriptHost.exe on a script that a test writes: its standard
// output as it comes, its standard error and its exit code.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "common/handle.h"

class HostRun {
public:
    HostRun() = default;
    HostRun(const HostRun&) = delete;
    HostRun& operator=(const HostRun&) = delete;
    // Ends a host that is still running and removes the script.
    ~HostRun();

    // Writes `script` ("\r\n" lines) to a file of its own and starts the host
    // on it with `arguments` after the script's path.
    bool Start(const std::string& script, const std::wstring& arguments = L"");
    // Starts the host on a script file of the caller's.
    bool StartFile(const std::wstring& script, const std::wstring& arguments = L"");
    // Waits until the output holds `text`; false when the host ended or
    // `timeoutMs` passed first.
    bool WaitForOutput(const std::string& text, DWORD timeoutMs = 20000);
    // Waits for the host to end (at most `timeoutMs`) and answers its exit
    // code, 0xFFFFFFFF when it did not end.
    DWORD Finish(DWORD timeoutMs = 20000);

    std::string Output();
    std::string Errors() const;
    DWORD ProcessId() const noexcept { return processId_; }
    const std::wstring& ScriptPath() const noexcept { return script_; }

private:
    void ReadOutput();

    std::wstring script_; // written by the run, removed with it
    std::wstring errors_;
    common::UniqueKernel process_;
    DWORD processId_ = 0;
    common::UniqueKernel outputRead_;
    std::thread reader_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::string output_;
    bool outputClosed_ = false;
};

// The number of HVTScriptHost.exe processes running in the terminal.
int RunningHosts();
