// The installer's four calls: after installing, start the upgrade utility;
// after removing, delete its logs. None of them ever stops the installer.
#include "Q4MUpgradeSetup.h"

#include <cstdarg>
#include <cwchar>
#include <string>

#include "common/handle.h"
#include "install_log.h"

namespace {

const wchar_t kLogName[] = L"\\q4muperr.log";
const wchar_t kUtilityName[] = L"\\Q4MUpgradeUtility.exe";

// Longest install folder from which the utility is started.
constexpr size_t kMaxFolderLength = 128;

const wchar_t kEntryText[] = L"Q4UpgradeUtilitySetup::Install_Exit(): Entry.\r\n";
const wchar_t kUtilityPathText[] = L"Upgrade utility path: %ls\r\n";
const wchar_t kCreateProcessErrorText[] = L"Create process error: %d\r\n";

// Logs left on the storage card by the installed package.
const wchar_t* const kLogsRemovedOnUninstall[] = {
    L"\\Storage Card\\Q4MUperr.log",
    L"\\Storage Card\\Q4MUpUtil.log",
};

std::wstring Format(const wchar_t* format, ...) {
    wchar_t buffer[512];
    va_list args;
    va_start(args, format);
    const int length = std::vswprintf(buffer, sizeof(buffer) / sizeof(buffer[0]), format, args);
    va_end(args);
    return length > 0 ? std::wstring(buffer, static_cast<size_t>(length)) : std::wstring();
}

void StartUtility(const std::wstring& folder, setup::InstallLog& log) {
    std::wstring program = folder + kUtilityName;
    log.Line(Format(kUtilityPathText, program.c_str()));

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        log.Line(Format(kCreateProcessErrorText, static_cast<int>(::GetLastError())));
        return;
    }
    // The utility runs on by itself; the installer does not wait for it.
    common::UniqueKernel thread(process.hThread);
    common::UniqueKernel started(process.hProcess);
}

} // namespace

extern "C" {

codeINSTALL_INIT WINAPI Install_Init(HWND, BOOL, BOOL, LPCWSTR) {
    return codeINSTALL_INIT_CONTINUE;
}

codeINSTALL_EXIT WINAPI Install_Exit(HWND, LPCWSTR pszInstallDir, WORD, WORD, WORD, WORD, WORD) {
    if (pszInstallDir == nullptr) {
        return codeINSTALL_EXIT_DONE;
    }
    try {
        const std::wstring folder(pszInstallDir);
        setup::InstallLog log(folder + kLogName);
        log.Line(kEntryText);
        if (folder.size() <= kMaxFolderLength) {
            StartUtility(folder, log);
        }
    } catch (...) {
        // Out of memory: the installation itself has still succeeded.
    }
    return codeINSTALL_EXIT_DONE;
}

codeUNINSTALL_INIT WINAPI Uninstall_Init(HWND, LPCWSTR) {
    return codeUNINSTALL_INIT_CONTINUE;
}

codeUNINSTALL_EXIT WINAPI Uninstall_Exit(HWND) {
    for (const wchar_t* log : kLogsRemovedOnUninstall) {
        ::DeleteFileW(log);
    }
    return codeUNINSTALL_EXIT_DONE;
}

} // extern "C"
