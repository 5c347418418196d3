#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "common/handle.h"
#include "launch.h"
#include "testsupport/paths.h"

namespace {

constexpr DWORD kTimeoutMs = 30000;

void RemoveFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    common::UniqueFind find(::FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (find) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                ::DeleteFileW((folder + L"\\" + found.cFileName).c_str());
            }
        } while (::FindNextFileW(find.get(), &found));
    }
    ::RemoveDirectoryW(folder.c_str());
}

std::optional<std::wstring> ReadFileName() {
    wchar_t value[512];
    DWORD size = sizeof(value);
    if (::RegGetValueW(HKEY_CURRENT_USER, launcher::kSettingsKey, launcher::kFileNameValue,
                       RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(value);
}

void WriteFileName(const std::wstring& text) {
    common::UniqueKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, launcher::kSettingsKey, 0, nullptr, 0,
                                KEY_SET_VALUE, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key.get(), launcher::kFileNameValue, 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

BOOL CALLBACK CollectScriptHostForm(HWND window, LPARAM found) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (::wcscmp(name, L"HVTScriptHostForm") == 0) {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    }
    return TRUE;
}

// The forms of the terminal's script host that are open now.
std::vector<HWND> ScriptHostForms() {
    std::vector<HWND> forms;
    ::EnumWindows(&CollectScriptHostForm, reinterpret_cast<LPARAM>(&forms));
    return forms;
}

// The process behind a window, for waiting on it.
common::UniqueKernel ProcessOf(HWND window) {
    DWORD id = 0;
    ::GetWindowThreadProcessId(window, &id);
    return common::UniqueKernel(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id));
}

// The application keeps running after its start; closing its form ends it.
void CloseScriptHosts() {
    for (HWND form : ScriptHostForms()) {
        common::UniqueKernel process = ProcessOf(form);
        ::PostMessageW(form, WM_CLOSE, 0, 0);
        if (process) {
            ::WaitForSingleObject(process.get(), kTimeoutMs);
        }
    }
}

// The launcher installed in a folder of the terminal, with or without the
// sample script beside it; the script's registry value is put back afterwards.
class InstalledLauncher : public ::testing::Test {
protected:
    void SetUp() override {
        savedFileName_ = ReadFileName();
        RemoveFolder(folder_);
        ASSERT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr));
        ASSERT_TRUE(::CopyFileW((testsupport::ProgramFolder() + L"zvnrstart.exe").c_str(),
                                Launcher().c_str(), FALSE));
    }

    void TearDown() override {
        CloseScriptHosts();
        RemoveFolder(folder_);
        if (savedFileName_) {
            WriteFileName(*savedFileName_);
        } else {
            ::RegDeleteKeyW(HKEY_CURRENT_USER, launcher::kSettingsKey);
        }
    }

    void PlaceScript() {
        ASSERT_TRUE(::CopyFileW((testsupport::ProgramFolder() + L"ZVNR.vb").c_str(),
                                (folder_ + L"\\ZVNR.vb").c_str(), FALSE));
    }

    std::wstring Launcher() const { return folder_ + L"\\zvnrstart.exe"; }

    // Runs the launcher with `arguments` after its name; its exit code.
    DWORD Run(const std::wstring& arguments) {
        std::wstring commandLine = L"\"" + Launcher() + L"\"";
        if (!arguments.empty()) {
            commandLine += L" " + arguments;
        }
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (!::CreateProcessW(Launcher().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                              nullptr, nullptr, &startup, &process)) {
            return 0xFFFFFFFF;
        }
        common::UniqueKernel thread(process.hThread);
        common::UniqueKernel launched(process.hProcess);
        DWORD code = 0xFFFFFFFF;
        if (::WaitForSingleObject(launched.get(), kTimeoutMs) == WAIT_OBJECT_0) {
            ::GetExitCodeProcess(launched.get(), &code);
        }
        return code;
    }

    // What the sample script recorded beside itself, once it has finished;
    // nothing when it did not run in time.
    std::optional<std::string> WaitForScriptLog() {
        const std::wstring log = folder_ + L"\\ZVNR.log";
        common::UniqueFile changes(
            ::FindFirstChangeNotificationW(folder_.c_str(), FALSE,
                                           FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE |
                                               FILE_NOTIFY_CHANGE_LAST_WRITE));
        if (!changes) {
            return std::nullopt;
        }
        const DWORD deadline = ::GetTickCount() + kTimeoutMs;
        for (;;) {
            const std::string text = testsupport::ReadFileBytes(log);
            if (text.find("Started.\r\n") != std::string::npos) {
                return text;
            }
            const DWORD now = ::GetTickCount();
            if (static_cast<LONG>(deadline - now) <= 0 ||
                ::WaitForSingleObject(changes.get(), deadline - now) != WAIT_OBJECT_0) {
                return std::nullopt;
            }
            ::FindNextChangeNotification(changes.get());
        }
    }

    const std::wstring folder_ = L"\\Program Files\\App";

private:
    std::optional<std::wstring> savedFileName_;
};

} // namespace

TEST_F(InstalledLauncher, CommandLineIsRecordedAndTheScriptBesideItRuns) {
    PlaceScript();

    EXPECT_EQ(Run(L"orders"), 0u);

    EXPECT_EQ(ReadFileName(), L"orders");
    EXPECT_EQ(WaitForScriptLog(), "FileName: [orders]\r\nStarted.\r\n");

    // The terminal's script host runs it: its form stands, captioned by the
    // script, with the scan list and the batch bar, waiting for scans.
    const std::vector<HWND> forms = ScriptHostForms();
    ASSERT_EQ(forms.size(), 1u);
    common::UniqueKernel host = ProcessOf(forms[0]);
    ASSERT_TRUE(host);
    EXPECT_EQ(::WaitForInputIdle(host.get(), kTimeoutMs), 0u);
    EXPECT_EQ(::WaitForSingleObject(host.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    wchar_t caption[64] = {};
    ::GetWindowTextW(forms[0], caption, 64);
    EXPECT_STREQ(caption, L"ZVNR");
    EXPECT_NE(::FindWindowExW(forms[0], nullptr, L"LISTBOX", nullptr), nullptr);
}

TEST_F(InstalledLauncher, CommandLineIsRecordedExactlyAsReceived) {
    PlaceScript();

    EXPECT_EQ(Run(L"\"two words\"  /x:1"), 0u);

    EXPECT_EQ(ReadFileName(), L"\"two words\"  /x:1");
    EXPECT_TRUE(WaitForScriptLog().has_value());
}

TEST_F(InstalledLauncher, NoCommandLineStoresAnEmptyValueAndStillRunsTheScript) {
    WriteFileName(L"from an earlier start");
    PlaceScript();

    EXPECT_EQ(Run(L""), 0u);

    EXPECT_EQ(ReadFileName(), L"");
    EXPECT_EQ(WaitForScriptLog(), "FileName: []\r\nStarted.\r\n");
}

TEST_F(InstalledLauncher, MissingScriptEndsWithOneAfterRecordingTheCommandLine) {
    EXPECT_EQ(Run(L"orders"), 1u);

    EXPECT_EQ(ReadFileName(), L"orders");
}
