#include <windows.h>
#include <shellapi.h>

#include "launch.h"

namespace launcher {

namespace {

const wchar_t kScriptName[] = L"ZVNR.vb";

} // namespace

std::optional<std::wstring> ScriptBeside(const std::wstring& programPath) {
    const size_t backslash = programPath.find_last_of(L'\\');
    if (backslash == std::wstring::npos) {
        return std::nullopt;
    }
    return programPath.substr(0, backslash + 1) + kScriptName;
}

std::optional<std::wstring> ProgramPath() {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A cut path would name some other folder's script.
    if (length == 0 || length >= MAX_PATH) {
        return std::nullopt;
    }
    return std::wstring(path, length);
}

bool OpenScript(const std::wstring& script, int showCommand) {
    SHELLEXECUTEINFOW request = {};
    request.cbSize = sizeof(request);
    // The launcher ends at once and has no window to report a failure in:
    // the shell finishes the start before returning and shows no message.
    request.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    request.lpFile = script.c_str();
    request.nShow = showCommand;
    return ::ShellExecuteExW(&request) != FALSE;
}

} // namespace launcher
