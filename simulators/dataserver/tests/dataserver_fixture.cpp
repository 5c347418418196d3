#include "dataserver_fixture.h"

#include "server_link.h"
#include "testsupport/paths.h"

namespace dstest {

namespace {

const wchar_t kFolder[] = L"\\Storage Card\\DataServerTests\\";
constexpr DWORD kStartTimeoutMs = 30000;

bool Copy(const std::wstring& from, const std::wstring& to) {
    return ::CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
}

common::UniqueKernel Launch(const std::wstring& arguments, DWORD* id) {
    std::wstring commandLine =
        L"\"" + RunningDataServer::Folder() + L"HVTDataServer.exe\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return {};
    }
    ::CloseHandle(started.hThread);
    if (id != nullptr) {
        *id = started.dwProcessId;
    }
    return common::UniqueKernel(started.hProcess);
}

} // namespace

std::wstring RunningDataServer::Folder() {
    return kFolder;
}

bool RunningDataServer::Start(const std::wstring& arguments, const std::wstring& library) {
    ::CreateDirectoryW(kFolder, nullptr);
    const std::wstring bin = testsupport::ProgramFolder();
    if (!Copy(bin + L"HVTDataServer.exe", Folder() + L"HVTDataServer.exe") ||
        !Copy(bin + library, Folder() + L"Q4MUpgrade.dll")) {
        return false;
    }
    // What a real flash download library links against must be beside it.
    for (const wchar_t* dependency : {L"HVTEventLog.dll", L"ceplatform.dll"}) {
        if (::GetFileAttributesW((bin + dependency).c_str()) != INVALID_FILE_ATTRIBUTES) {
            Copy(bin + dependency, Folder() + dependency);
        }
    }
    common::UniqueKernel ready(::CreateEventW(nullptr, TRUE, FALSE, dataserver::kReadyEventName));
    ::ResetEvent(ready.get());
    process_ = Launch(arguments, &id_);
    if (!process_) {
        return false;
    }
    HANDLE waits[] = {ready.get(), process_.get()};
    return ::WaitForMultipleObjects(2, waits, FALSE, kStartTimeoutMs) == WAIT_OBJECT_0;
}

void RunningDataServer::Stop() {
    if (!process_) {
        return;
    }
    dataserver::Reply reply{};
    dataserver::Call(dataserver::Command::Stop, L"", 10000, reply);
    if (::WaitForSingleObject(process_.get(), kStartTimeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process_.get(), 0xDEAD);
        ::WaitForSingleObject(process_.get(), kStartTimeoutMs);
        RunDataServerProgram(L"/restore");
    }
    process_.reset();
    id_ = 0;
}

DWORD RunDataServerProgram(const std::wstring& arguments) {
    ::CreateDirectoryW(kFolder, nullptr);
    Copy(testsupport::ProgramFolder() + L"HVTDataServer.exe",
         RunningDataServer::Folder() + L"HVTDataServer.exe");
    common::UniqueKernel process = Launch(arguments, nullptr);
    if (!process || ::WaitForSingleObject(process.get(), kStartTimeoutMs) != WAIT_OBJECT_0) {
        return 0xFFFFFFFF;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    return code;
}

common::ComPtr<IBarCodeReaderConfig> CreateConfig() {
    CLSID classId{};
    common::ComPtr<IBarCodeReaderConfig> config;
    if (SUCCEEDED(::CLSIDFromProgID(L"Harvanti.BarCodeReader", &classId))) {
        ::CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IBarCodeReaderConfig,
                           config.put_void());
    }
    return config;
}

bool CanOpen(const wchar_t* port, DWORD* error) {
    common::UniqueFile handle(
        ::CreateFileW(port, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (error != nullptr) {
        *error = handle ? ERROR_SUCCESS : ::GetLastError();
    }
    return handle.valid();
}

} // namespace dstest
