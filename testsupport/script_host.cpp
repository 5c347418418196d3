#include "testsupport/script_host.h"

#include <windows.h>

#include "common/handle.h"
#include "testsupport/paths.h"

namespace testsupport {

std::string RunVbScript(const std::string& script) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    wchar_t path[MAX_PATH] = {};
    ::GetTempFileNameW(folder, L"vbs", 0, path);
    const std::wstring file = std::wstring(path) + L".vbs";
    ::DeleteFileW(path);
    if (!WriteFileBytes(file, script)) {
        return "<cannot write script>";
    }

    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    common::UniqueKernel readEnd;
    common::UniqueKernel writeEnd;
    ::CreatePipe(readEnd.put(), writeEnd.put(), &inherit, 0);
    ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    std::wstring command = L"cscript.exe //nologo \"" + file + L"\"";
    PROCESS_INFORMATION process = {};
    std::string output;
    if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                         &startup, &process)) {
        common::UniqueKernel processHandle(process.hProcess);
        common::UniqueKernel threadHandle(process.hThread);
        writeEnd.reset();
        char buffer[512];
        DWORD read = 0;
        while (::ReadFile(readEnd.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
            output.append(buffer, read);
        }
        ::WaitForSingleObject(processHandle.get(), 30000);
    } else {
        output = "<cannot start cscript>";
    }
    ::DeleteFileW(file.c_str());
    return output;
}

} // namespace testsupport
