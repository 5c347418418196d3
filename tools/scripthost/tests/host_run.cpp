#include "host_run.h"

#include <tlhelp32.h>

#include <chrono>

#include "testsupport/paths.h"

namespace {

std::wstring TempName(const wchar_t* prefix, const wchar_t* extension) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    wchar_t path[MAX_PATH] = {};
    ::GetTempFileNameW(folder, prefix, 0, path);
    ::DeleteFileW(path);
    return std::wstring(path) + extension;
}

} // namespace

HostRun::~HostRun() {
    if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_.get(), 0xDEAD);
        ::WaitForSingleObject(process_.get(), 5000);
    }
    if (reader_.joinable()) {
        reader_.join();
    }
    if (!script_.empty()) {
        ::DeleteFileW(script_.c_str());
    }
    if (!errors_.empty()) {
        ::DeleteFileW(errors_.c_str());
    }
}

bool HostRun::Start(const std::string& script, const std::wstring& arguments) {
    script_ = TempName(L"vb", L".vb");
    return testsupport::WriteFileBytes(script_, script) && StartFile(script_, arguments);
}

bool HostRun::StartFile(const std::wstring& script, const std::wstring& arguments) {
    if (errors_.empty()) {
        errors_ = TempName(L"err", L".txt");
    }
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    common::UniqueKernel outputWrite;
    if (!::CreatePipe(outputRead_.put(), outputWrite.put(), &inherit, 0)) {
        return false;
    }
    ::SetHandleInformation(outputRead_.get(), HANDLE_FLAG_INHERIT, 0);
    common::UniqueFile errorFile(::CreateFileW(errors_.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                               &inherit, CREATE_ALWAYS, 0, nullptr));
    if (!errorFile) {
        return false;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outputWrite.get();
    startup.hStdError = errorFile.get();
    const std::wstring host = testsupport::ProgramFolder() + L"HVTScriptHost.exe";
    std::wstring command = L"\"" + host + L"\" \"" + script + L"\"";
    if (!arguments.empty()) {
        command += L" " + arguments;
    }
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(host.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return false;
    }
    common::UniqueKernel thread(process.hThread);
    process_.reset(process.hProcess);
    processId_ = process.dwProcessId;
    outputWrite.reset();
    reader_ = std::thread([this] { ReadOutput(); });
    return true;
}

void HostRun::ReadOutput() {
    char buffer[512];
    DWORD read = 0;
    while (::ReadFile(outputRead_.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        std::lock_guard<std::mutex> hold(lock_);
        output_.append(buffer, read);
        changed_.notify_all();
    }
    std::lock_guard<std::mutex> hold(lock_);
    outputClosed_ = true;
    changed_.notify_all();
}

bool HostRun::WaitForOutput(const std::string& text, DWORD timeoutMs) {
    std::unique_lock<std::mutex> hold(lock_);
    return changed_.wait_for(hold, std::chrono::milliseconds(timeoutMs), [&] {
        return output_.find(text) != std::string::npos || outputClosed_;
    }) && output_.find(text) != std::string::npos;
}

DWORD HostRun::Finish(DWORD timeoutMs) {
    if (!process_ || ::WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) {
        return 0xFFFFFFFF;
    }
    if (reader_.joinable()) {
        reader_.join();
    }
    DWORD code = 0xFFFFFFFF;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

std::string HostRun::Output() {
    std::lock_guard<std::mutex> hold(lock_);
    return output_;
}

std::string HostRun::Errors() const {
    return testsupport::ReadFileBytes(errors_);
}

int RunningHosts() {
    common::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    if (snapshot && ::Process32FirstW(snapshot.get(), &entry)) {
        do {
            if (::_wcsicmp(entry.szExeFile, L"HVTScriptHost.exe") == 0) {
                ++count;
            }
        } while (::Process32NextW(snapshot.get(), &entry));
    }
    return count;
}
