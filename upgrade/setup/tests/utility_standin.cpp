// Takes the upgrade utility's place in the install tests: it records that it
// ran, with its process id and the command line it received, in
// "Q4MUpgradeUtility.ran" beside itself, then signals the waiting test.
#include <windows.h>

#include <string>

#include "common/handle.h"

int main() {
    wchar_t self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return 1;
    }
    std::wstring marker(self, length);
    marker = marker.substr(0, marker.find_last_of(L'\\') + 1) + L"Q4MUpgradeUtility.ran";

    const std::wstring record =
        std::to_wstring(::GetCurrentProcessId()) + L"\n" + ::GetCommandLineW() + L"\n";
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, record.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, record.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    bytes.pop_back(); // the terminating zero

    {
        common::UniqueFile file(
            ::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        if (!file || !::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                  &written, nullptr)) {
            return 2;
        }
    }
    common::UniqueKernel started(
        ::OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Q4MSetupTests.UtilityStarted"));
    if (started) {
        ::SetEvent(started.get());
    }
    return 0;
}
