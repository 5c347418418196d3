#include "utility_fixture.h"

#include <vector>

#include "q4mupgrade_standin.h"
#include "testsupport/paths.h"

namespace utiltest {

namespace {

const wchar_t kConfigurationKey[] = L"Software\\Harvanti\\ADCDevices\\Q4M";
const wchar_t kLogPath[] = L"\\Storage Card\\HVT\\Q4M\\q4muputil.log";
const wchar_t kTestFolder[] = L"\\Storage Card\\UtilityTests";
const wchar_t kDialogTitle[] = L"Q4MUpgrade ( Internal Scanner )";
const wchar_t kMessageCaption[] = L"Q4MUpgradeUtility";
constexpr DWORD kRunTimeoutMs = 60000;

struct WindowSearch {
    DWORD processId;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && ::IsWindowVisible(window) &&
        WindowText(window) == search->title) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

void UtilityTest::SetUp() {
    folder_ = kTestFolder;
    ::CreateDirectoryW(folder_.c_str(), nullptr);
    ASSERT_TRUE(testsupport::WriteFileBytes(Driver(), std::string(512, 'd')));
    ASSERT_TRUE(testsupport::WriteFileBytes(Image(), std::string(1024, 'i')));

    const std::string log = testsupport::ReadFileBytes(kLogPath);
    if (::GetFileAttributesW(kLogPath) != INVALID_FILE_ATTRIBUTES) {
        savedLog_ = log;
    }
    // The utility writes its log from the beginning and keeps an older log's
    // tail: each test starts with none, so that it reads only its own run.
    ::DeleteFileW(kLogPath);
    common::UniqueKey key;
    hadKey_ = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kConfigurationKey, 0, KEY_READ, key.put()) ==
              ERROR_SUCCESS;
    for (DWORD index = 0; hadKey_; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        BYTE data[1024];
        DWORD size = sizeof(data);
        DWORD type = 0;
        if (::RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type, data, &size) !=
            ERROR_SUCCESS) {
            break;
        }
        savedValues_[name] = {type, std::string(reinterpret_cast<char*>(data), size)};
    }
    key.reset();
    RemoveConfigurationKey();
    ::RegDeleteKeyW(HKEY_CURRENT_USER, standin::kRecordKey);
}

void UtilityTest::TearDown() {
    ::RegDeleteKeyW(HKEY_CURRENT_USER, standin::kRecordKey);
    RemoveConfigurationKey();
    if (hadKey_) {
        common::UniqueKey key;
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kConfigurationKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                          nullptr, key.put(), nullptr);
        for (const auto& [name, value] : savedValues_) {
            ::RegSetValueExW(key.get(), name.c_str(), 0, value.first,
                             reinterpret_cast<const BYTE*>(value.second.data()),
                             static_cast<DWORD>(value.second.size()));
        }
    }
    if (savedLog_) {
        testsupport::WriteFileBytes(kLogPath, *savedLog_);
    } else {
        ::DeleteFileW(kLogPath);
    }
    ::DeleteFileW(Driver().c_str());
    ::DeleteFileW(Image().c_str());
    ::RemoveDirectoryW(folder_.c_str());
}

std::wstring UtilityTest::Standin() const {
    return testsupport::ProgramFolder() + L"Q4MUpgradeStandin.dll";
}

std::wstring UtilityTest::Inputs() const {
    return L"\"/a" + Driver() + L"\" \"/b" + Image() + L"\" \"/u" + Standin() + L"\"";
}

Utility UtilityTest::Start(const std::wstring& arguments) const {
    std::wstring commandLine =
        L"\"" + testsupport::ProgramFolder() + L"Q4MUpgradeUtility.exe\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    Utility utility;
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &started)) {
        ::CloseHandle(started.hThread);
        utility.process.reset(started.hProcess);
        utility.id = started.dwProcessId;
        ::WaitForInputIdle(started.hProcess, kRunTimeoutMs);
    }
    return utility;
}

DWORD UtilityTest::RunToEnd(const std::wstring& arguments) const {
    Utility utility = Start(arguments);
    if (!utility.process) {
        return 0xFFFFFFFF;
    }
    if (::WaitForSingleObject(utility.process.get(), kRunTimeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(utility.process.get(), 0xDEAD);
        return 0xFFFFFFFF;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(utility.process.get(), &code);
    return code;
}

bool UtilityTest::WaitForExit(const Utility& utility) {
    if (::WaitForSingleObject(utility.process.get(), kRunTimeoutMs) == WAIT_OBJECT_0) {
        return true;
    }
    ::TerminateProcess(utility.process.get(), 0xDEAD);
    return false;
}

std::string UtilityTest::Log() const {
    return testsupport::ReadFileBytes(kLogPath);
}

void UtilityTest::SetConfiguration(const wchar_t* name, const std::wstring& value) const {
    common::UniqueKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kConfigurationKey, 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void UtilityTest::RemoveConfigurationKey() const {
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kConfigurationKey);
}

DWORD UtilityTest::StandinCalls() const {
    DWORD calls = 0;
    DWORD size = sizeof(calls);
    ::RegGetValueW(HKEY_CURRENT_USER, standin::kRecordKey, standin::kCalls, RRF_RT_REG_DWORD,
                   nullptr, &calls, &size);
    return calls;
}

std::wstring UtilityTest::StandinValue(const wchar_t* name) const {
    wchar_t text[1024] = {};
    DWORD size = sizeof(text);
    ::RegGetValueW(HKEY_CURRENT_USER, standin::kRecordKey, name, RRF_RT_REG_SZ, nullptr, text,
                   &size);
    return text;
}

void UtilityTest::SetStandinResult(LONG result) const {
    common::UniqueKey key;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, standin::kRecordKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, key.put(), nullptr);
    const DWORD value = static_cast<DWORD>(result);
    ::RegSetValueExW(key.get(), standin::kResult, 0, REG_DWORD,
                     reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

HWND WaitForWindow(DWORD processId, const wchar_t* title, DWORD timeoutMs) {
    // Nothing signals a window's creation to another process: look again
    // every few milliseconds until it is there.
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        WindowSearch search{processId, title, nullptr};
        ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        ::Sleep(20);
    } while (::GetTickCount64() < deadline);
    return nullptr;
}

HWND WaitForDialog(const Utility& utility) {
    return WaitForWindow(utility.id, kDialogTitle);
}

HWND WaitForMessageBox(const Utility& utility, std::wstring* text) {
    HWND box = WaitForWindow(utility.id, kMessageCaption);
    if (box != nullptr && text != nullptr) {
        // A message box shows its text in the static control 0xFFFF.
        *text = ItemText(box, 0xFFFF);
    }
    return box;
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    ::SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text),
                          SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

std::wstring ItemText(HWND dialog, int id) {
    return WindowText(::GetDlgItem(dialog, id));
}

bool ItemEnabled(HWND dialog, int id) {
    return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE;
}

void Click(HWND dialog, int id) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                          reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)), SMTO_NORMAL, 60000,
                          &ignored);
}

} // namespace utiltest
