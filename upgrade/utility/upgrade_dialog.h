// The upgrade utility's dialog: its state, initialisation and commands.
#pragma once

#include <windows.h>

#include <string>

#include "HVTDataServer.h"
#include "command_line.h"
#include "common/com.h"

namespace q4mutil {

enum class RunMode { Upgrade, Extract };

class UpgradeDialog {
public:
    explicit UpgradeDialog(Options options) : options_(std::move(options)) {}

    // Shows the dialog until it closes.
    INT_PTR DoModal(HINSTANCE instance);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Dialog initialisation.
    void OnInitDialog();
    void ResolvePort();
    void ResolveFirmwareImage();
    void ResolveFlashDriver();
    void ResolveUpgradeDll();
    void StartSilentRun();

    void OnCommand(WORD id, WORD notification);
    // Lets the user pick a file into the edit box `target`.
    void Browse(int target);
    // One run, on the data server road or the direct road.
    void OnButtonUpgrade();
    void RunThroughDataServer(const std::wstring& description);
    void RunDirectly();

    // A message box on behalf of the dialog; none in silent mode.
    void Notify(const wchar_t* text) const;
    void ShowMessage(const wchar_t* text) const;
    void SetStatus(const wchar_t* text) const;
    std::wstring ItemText(int id) const;
    void EnableItem(int id, bool enable) const;

    Options options_;
    HWND window_ = nullptr;

    std::wstring port_ = L"COM4:";
    std::wstring flashDriver_;
    std::wstring firmwareImage_;
    std::wstring upgradeDll_;
    std::wstring hostCopy_;
    bool driverMissing_ = false;
    bool imageMissing_ = false;
    bool dllMissing_ = false;
    bool dataServer_ = false;
    RunMode mode_ = RunMode::Upgrade;
    common::ComPtr<IBarCodeReaderConfig> readerConfig_;
};

} // namespace q4mutil
