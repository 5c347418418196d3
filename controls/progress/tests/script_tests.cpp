// A script drives the control through the terminal's script host.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "common/com.h"
#include "common/handle.h"
#include "progress_server.h"
#include "testsupport/paths.h"

namespace {

// Runs `script` with cscript and returns what it printed.
std::string RunScript(const std::string& script) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    wchar_t path[MAX_PATH] = {};
    ::GetTempFileNameW(folder, L"pb", 0, path);
    const std::wstring file = std::wstring(path) + L".vbs";
    ::DeleteFileW(path);
    if (!testsupport::WriteFileBytes(file, script)) {
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

TEST(Script, CreatesTheControlByProgIdAndReadsItsProperties) {
    {
        common::ComApartment apartment;
        ASSERT_EQ(RegisterProgressServer(), S_OK);
    }
    const std::string output =
        RunScript("Set bar = CreateObject(\"QzpeProgressBar.ProgressBar\")\r\n"
                  "WScript.Echo \"Version \" & bar.Version\r\n"
                  "bar.Max = 250\r\n"
                  "bar.Min = 10\r\n"
                  "WScript.Echo \"Range \" & bar.Min & \"-\" & bar.Max\r\n"
                  "bar.Scrolling = 0\r\n"
                  "WScript.Echo \"Scrolling \" & bar.Scrolling\r\n"
                  "WScript.Echo \"done\"\r\n");
    EXPECT_EQ(output, "Version 1.0.0\r\nRange 10-250\r\nScrolling 0\r\ndone\r\n");
}

} // namespace
