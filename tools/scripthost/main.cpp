// HVTScriptHost script.vb [argument...]
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "script_host.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    int count = 0;
    LPWSTR* words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 1; words != nullptr && i < count; ++i) {
        arguments.emplace_back(words[i]);
    }
    ::LocalFree(words);
    if (arguments.empty()) {
        const char usage[] = "usage: HVTScriptHost script.vb [argument...]\r\n";
        DWORD written = 0;
        ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), usage, sizeof usage - 1, &written, nullptr);
        return scripthost::kExitUsage;
    }
    wchar_t full[MAX_PATH] = {};
    std::wstring script = arguments.front();
    if (::GetFullPathNameW(script.c_str(), MAX_PATH, full, nullptr) != 0) {
        script = full;
    }
    arguments.erase(arguments.begin());

    // In-place activation needs OLE, not only COM, on the script's thread.
    if (FAILED(::OleInitialize(nullptr))) {
        return scripthost::kExitCannotStart;
    }
    int code = 0;
    {
        scripthost::ScriptHost host(script, std::move(arguments));
        code = host.Run();
    }
    ::OleUninitialize();
    return code;
}
