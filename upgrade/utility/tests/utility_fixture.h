// Runs Q4MUpgradeUtility.exe as the user would and watches what it does: its
// log, its dialog, its message boxes and the calls the library stand-in saw.
// Puts back the configuration key, the utility log and the stand-in's record.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "common/handle.h"

namespace utiltest {

// A started utility process.
struct Utility {
    common::UniqueKernel process;
    DWORD id = 0;
};

class UtilityTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Files of the test's own folder on the terminal.
    std::wstring Driver() const { return folder_ + L"\\DRV.DRX"; }
    std::wstring Image() const { return folder_ + L"\\IMG.BIN"; }
    std::wstring Standin() const;
    std::wstring Missing(const wchar_t* name) const { return folder_ + L"\\missing-" + name; }

    // Arguments naming the test's driver, image and stand-in library.
    std::wstring Inputs() const;

    Utility Start(const std::wstring& arguments) const;
    // Runs to the end (the program must close itself); the exit code.
    DWORD RunToEnd(const std::wstring& arguments) const;
    // Waits for the process to end after the dialog was told to close.
    static bool WaitForExit(const Utility& utility);

    // The utility log as the last run left it.
    std::string Log() const;

    // Configuration values under HKLM\Software\Harvanti\ADCDevices\Q4M.
    void SetConfiguration(const wchar_t* name, const std::wstring& value) const;
    void RemoveConfigurationKey() const;

    // What the stand-in recorded, and the status it answers.
    DWORD StandinCalls() const;
    std::wstring StandinValue(const wchar_t* name) const;
    void SetStandinResult(LONG result) const;

private:
    std::wstring folder_;
    std::optional<std::string> savedLog_;
    bool hadKey_ = false;
    std::map<std::wstring, std::pair<DWORD, std::string>> savedValues_;
};

// Windows of a process.
HWND WaitForWindow(DWORD processId, const wchar_t* title, DWORD timeoutMs = 30000);
HWND WaitForDialog(const Utility& utility);
// The first message box that the process shows; its text through `text`.
HWND WaitForMessageBox(const Utility& utility, std::wstring* text);
std::wstring WindowText(HWND window);
std::wstring ItemText(HWND dialog, int id);
bool ItemEnabled(HWND dialog, int id);
// Clicks a button and waits until the dialog has handled the click.
void Click(HWND dialog, int id);

} // namespace utiltest
