#include "upgrade_dialog.h"

#include "configuration.h"
#include "data_server.h"
#include "resource.h"
#include "utility_log.h"

namespace q4mutil {

namespace {

// Posted by the initialisation of a silent run so that the run starts once
// the dialog is up.
constexpr UINT WM_START_SILENT_RUN = WM_APP + 1;

const wchar_t kMessageCaption[] = L"Q4MUpgradeUtility";
const wchar_t kEngineDevice[] = L"Q4M - Internal";

bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

INT_PTR UpgradeDialog::DoModal(HINSTANCE instance) {
    return ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_Q4MUPGRADEUTILITY_DIALOG), nullptr,
                             DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK UpgradeDialog::DialogProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<UpgradeDialog*>(lParam)->window_ = window;
    }
    auto* self = reinterpret_cast<UpgradeDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing the dialog does may unwind into the window manager.
        return FALSE;
    }
}

INT_PTR UpgradeDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_START_SILENT_RUN:
        OnButtonUpgrade();
        return TRUE;
    case WM_CLOSE:
        ::EndDialog(window_, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

void UpgradeDialog::OnInitDialog() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HICON large = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 32, 32, LR_SHARED));
    HICON small = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 16, 16, LR_SHARED));
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    LogLine(L"Q4UpgradeUtility::OnInitDialog(): Entry.\r\n");

    EnableItem(IDC_DRIVER_BROWSE, true);
    EnableItem(IDC_IMAGE_BROWSE, true);
    EnableItem(IDC_UPGRADE, false);
    ::SendDlgItemMessageW(window_, IDC_DEVICE_LIST, LB_ADDSTRING, 0,
                          reinterpret_cast<LPARAM>(kEngineDevice));

    ResolvePort();
    ResolveFirmwareImage();
    ResolveFlashDriver();
    ResolveUpgradeDll();

    if (options_.hostCopy) {
        hostCopy_ = *options_.hostCopy;
        mode_ = RunMode::Extract;
        ::SetDlgItemTextW(window_, IDC_UPGRADE, L"Extract");
    }
    if (options_.silent) {
        StartSilentRun();
    }
}

void UpgradeDialog::ResolvePort() {
    if (options_.port) {
        // The user named the port: no data server is looked for.
        port_ = *options_.port;
        LogFormat(L"Port specified via command line: %ls.\r\n", port_.c_str());
        dataServer_ = false;
        return;
    }
    if (!ReadConfiguration(kPortValue, port_)) {
        port_ = kDefaultPort;
        LogFormat(L"Could not find device name in registry. Using %ls.\r\n", port_.c_str());
    }
    LogLine(L"Does data server exist?\r\n");
    readerConfig_ = DetectDataServer(port_.c_str());
    dataServer_ = static_cast<bool>(readerConfig_);
    if (dataServer_) {
        LogLine(L"DataServer exists.\r\n");
        SetStatus(L"Using IBarcodeInterface.\r\n");
    } else {
        LogLine(L"DataServer NOT found.\r\n");
        SetStatus(L"Using Q4MUpgrade directly.\r\n");
    }
}

void UpgradeDialog::ResolveFirmwareImage() {
    if (options_.firmwareImage) {
        firmwareImage_ = *options_.firmwareImage;
        LogFormat(L"Firmware image specified via command line: %ls.\r\n", firmwareImage_.c_str());
    } else if (!ReadConfiguration(kFirmwareImageValue, firmwareImage_)) {
        firmwareImage_ = kDefaultFirmwareImage;
        LogLine(L"Could not find firmware image path in registry entry.\r\n");
    }
    LogFormat(L"Verify %ls's existance\r\n", firmwareImage_.c_str());
    imageMissing_ = !FileExists(firmwareImage_);
    if (imageMissing_) {
        LogLine(L"Cannot find firmware image. Please specify firmware image.");
    } else {
        LogFormat(L"%ls found\r\n", firmwareImage_.c_str());
        ::SetDlgItemTextW(window_, IDC_IMAGE_PATH, firmwareImage_.c_str());
    }
}

void UpgradeDialog::ResolveFlashDriver() {
    if (options_.flashDriver) {
        flashDriver_ = *options_.flashDriver;
        LogFormat(L"Flash driver specified via command line: %ls.\r\n", flashDriver_.c_str());
    } else if (!ReadConfiguration(kFlashDriverValue, flashDriver_)) {
        flashDriver_ = kDefaultFlashDriver;
        LogLine(L"Could not find flash driver path in registry.\r\n");
    }
    LogFormat(L"Verify %ls's existance\r\n", flashDriver_.c_str());
    driverMissing_ = !FileExists(flashDriver_);
    if (driverMissing_) {
        LogLine(L"Cannot find flash driver. Please specify flash driver.\r\n");
    } else {
        LogFormat(L"%ls found.\r\n", flashDriver_.c_str());
        ::SetDlgItemTextW(window_, IDC_DRIVER_PATH, flashDriver_.c_str());
    }
}

void UpgradeDialog::ResolveUpgradeDll() {
    if (options_.upgradeDll) {
        upgradeDll_ = *options_.upgradeDll;
        LogFormat(L"User specified %ls.\r\n", upgradeDll_.c_str());
    } else if (!ReadConfiguration(kUpgradeDllValue, upgradeDll_)) {
        upgradeDll_ = kDefaultUpgradeDll;
        LogFormat(L"q4mupgrade dll path not found in reg. Using %ls\r\n", upgradeDll_.c_str());
    }
    LogFormat(L"Verify existance of %ls\r\n", upgradeDll_.c_str());
    dllMissing_ = !FileExists(upgradeDll_);
    if (dllMissing_) {
        LogLine(L"Cannot find upgrade dll. Cannot proceed with upgrade\r\n");
    } else {
        LogFormat(L"%ls found.\r\n", upgradeDll_.c_str());
        EnableItem(IDC_UPGRADE, true);
    }
}

void UpgradeDialog::StartSilentRun() {
    std::wstring missing;
    if (dllMissing_) {
        missing += L"Q4MUpgrade.dll is missing\r\n";
    }
    if (driverMissing_) {
        missing += L"Flash driver is missing\r\n";
    }
    if (imageMissing_) {
        missing += L"Firmware image is missing\r\n";
    }
    if (!missing.empty()) {
        LogLine(missing.c_str());
        // The one box that silent mode still shows: nothing can run, and the
        // dialog stays open for the user.
        ShowMessage(missing.c_str());
        return;
    }
    LogLine(mode_ == RunMode::Extract ? L"All components exist.  Running extract\r\n"
                                      : L"All components exist.  Running upgrade\r\n");
    ::PostMessageW(window_, WM_START_SILENT_RUN, 0, 0);
}

void UpgradeDialog::OnCommand(WORD id, WORD notification) {
    switch (id) {
    case IDC_IMAGE_PATH:
        if (notification == EN_SETFOCUS) {
            EnableItem(IDC_IMAGE_BROWSE, true);
        }
        break;
    case IDC_DRIVER_PATH:
        if (notification == EN_SETFOCUS) {
            EnableItem(IDC_DRIVER_BROWSE, true);
        }
        break;
    case IDC_IMAGE_BROWSE:
        if (notification == BN_CLICKED) {
            Browse(IDC_IMAGE_PATH);
        }
        break;
    case IDC_DRIVER_BROWSE:
        if (notification == BN_CLICKED) {
            Browse(IDC_DRIVER_PATH);
        }
        break;
    case IDC_UPGRADE:
        if (notification == BN_CLICKED) {
            OnButtonUpgrade();
        }
        break;
    case IDC_EXIT:
    case IDCANCEL:
        if (notification == BN_CLICKED) {
            ::EndDialog(window_, id);
        }
        break;
    default:
        break;
    }
}

void UpgradeDialog::Notify(const wchar_t* text) const {
    if (!options_.silent) {
        ShowMessage(text);
    }
}

void UpgradeDialog::ShowMessage(const wchar_t* text) const {
    ::MessageBoxW(window_, text, kMessageCaption, MB_OK);
}

void UpgradeDialog::SetStatus(const wchar_t* text) const {
    ::SetDlgItemTextW(window_, IDC_STATUS, text);
}

std::wstring UpgradeDialog::ItemText(int id) const {
    // A path box gives at most MAX_PATH characters.
    wchar_t text[MAX_PATH + 1] = {};
    ::GetDlgItemTextW(window_, id, text, MAX_PATH + 1);
    return text;
}

void UpgradeDialog::EnableItem(int id, bool enable) const {
    ::EnableWindow(::GetDlgItem(window_, id), enable ? TRUE : FALSE);
}

} // namespace q4mutil
