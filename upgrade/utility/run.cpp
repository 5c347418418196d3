// One run: the data server road for an upgrade when the data server owns the
// port, otherwise the flash download library loaded for this run only.
#include <windows.h>

#include "common/handle.h"
#include "resource.h"
#include "upgrade_dialog.h"
#include "utility_log.h"

namespace q4mutil {

namespace {

using UpgradeEntry = LONG(WINAPI*)(HANDLE* port, const wchar_t* portName,
                                   const wchar_t* flashDriver, const wchar_t* firmwareImage);
using ExtractEntry = LONG(WINAPI*)(HANDLE* port, const wchar_t* portName,
                                   const wchar_t* flashDriver, const wchar_t* firmwareImage,
                                   const wchar_t* hostCopy, const wchar_t* logPath);

const char kUpgradeExport[] = "Q4MUpgrade";
const char kExtractExport[] = "Q4MExtract";
const wchar_t kExtractLogPath[] = L"\\Q4MExtract.log";

template <typename Entry> Entry FindEntry(HMODULE library, const char* name) {
    // Through void*: the export's own type says nothing of its parameters.
    return reinterpret_cast<Entry>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

// Shows the wait cursor while a run holds the dialog thread.
class WaitCursor {
public:
    WaitCursor() : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    ~WaitCursor() {
        ::SetCursor(previous_ != nullptr ? previous_ : ::LoadCursorW(nullptr, IDC_ARROW));
    }

private:
    HCURSOR previous_;
};

} // namespace

void UpgradeDialog::OnButtonUpgrade() {
    LogLine(L"OnButtonUpgrade(), Entry...\r\n");
    flashDriver_ = ItemText(IDC_DRIVER_PATH);
    firmwareImage_ = ItemText(IDC_IMAGE_PATH);
    const std::wstring description = flashDriver_ + L"," + firmwareImage_ + L"," + upgradeDll_;

    SetStatus(L"Downloading please wait...\r\n");
    ::UpdateWindow(window_);
    {
        WaitCursor wait;
        if (dataServer_ && mode_ == RunMode::Upgrade) {
            RunThroughDataServer(description);
        } else {
            RunDirectly();
        }
    }
    // A second run needs a new pick of a file or a new start of the program.
    EnableItem(IDC_UPGRADE, false);
    ::UpdateWindow(window_);
    if (options_.silent) {
        ::PostMessageW(window_, WM_CLOSE, 0, 0);
    }
}

void UpgradeDialog::RunThroughDataServer(const std::wstring& description) {
    LogLine(L"OnButtonUpgrade(), Calling IBCCComfig::DownloadBarcodeReader( )\r\n");
    LogLine(description.c_str());
    LogLine(L"\r\n");
    HRESULT status = E_POINTER;
    if (readerConfig_) {
        common::UniqueBstr text(description);
        status = readerConfig_->DownloadBarcodeReader(text.get());
    }
    readerConfig_.reset();
    LogLine(L"OnButtonUpgrade(), BCConfig released.\r\n");
    if (status < 0) {
        LogLine(L"OnButtonUpgrade(), Error IBarcode download.\r\n");
        SetStatus(L"Error IBarcode download.\r\n");
    } else {
        LogLine(L"OnButtonUpgrade(), IBarcodeConfig download successful.\r\n");
        SetStatus(L"IBarcodeConfig download successful.\r\n");
    }
}

void UpgradeDialog::RunDirectly() {
    LogLine(L"OnButtonUpgrade(), Loading ");
    LogLine(upgradeDll_.c_str());
    LogLine(L"\r\n");
    HMODULE library = ::LoadLibraryW(upgradeDll_.c_str());
    wchar_t status[128];
    if (library == nullptr) {
        swprintf(status, 128, L"Error loading Q4MUpgrade.dll: %d.\r\n",
                 static_cast<int>(::GetLastError()));
        SetStatus(status);
        return;
    }
    LogLine(L"OnButtonUpgrade(), Load successful.\r\n");

    // The utility never lends a port handle: the library opens the port itself.
    HANDLE port = INVALID_HANDLE_VALUE;
    if (mode_ == RunMode::Upgrade) {
        auto upgrade = FindEntry<UpgradeEntry>(library, kUpgradeExport);
        if (upgrade == nullptr) {
            LogLine(L"OnButtonUpgrade(), Error retrieving Q4MUpgrade upgrade proc addr.\r\n");
            swprintf(status, 128, L"Error retrieving Q4MUpgrade upgrade proc addr: %d.\r\n",
                     static_cast<int>(::GetLastError()));
            SetStatus(status);
        } else if (upgrade(&port, port_.c_str(), flashDriver_.c_str(), firmwareImage_.c_str()) >=
                   0) {
            LogLine(L"OnButtonUpgrade(), Download successful.\r\n");
            SetStatus(L"Download successful.\r\n");
        } else {
            LogLine(L"OnButtonUpgrade(), Error upgrading Q4M.\r\n");
            SetStatus(L"Error upgrading Q4M.\r\n");
        }
    } else {
        auto extract = FindEntry<ExtractEntry>(library, kExtractExport);
        if (extract == nullptr) {
            LogLine(L"OnButtonUpgrade(), Error retrieving Q4MUpgrade extraction proc addr.\r\n");
            swprintf(status, 128, L"Error retrieving Q4MUpgrade extraction proc addr: %d.\r\n",
                     static_cast<int>(::GetLastError()));
            SetStatus(status);
        } else if (extract(&port, port_.c_str(), flashDriver_.c_str(), firmwareImage_.c_str(),
                           hostCopy_.c_str(), kExtractLogPath) >= 0) {
            LogLine(L"OnButtonUpgrade(), Extraction successful.\r\n");
            SetStatus(L"Extraction successful.\r\n");
        } else {
            LogLine(L"OnButtonUpgrade(), Error extracting Q4M.\r\n");
            SetStatus(L"Error extracting Q4M.\r\n");
        }
    }
    if (!::FreeLibrary(library)) {
        LogLine(L"OnButtonUpgrade(), Error unloading Q4MUpgrade.dll.\r\n");
    }
}

} // namespace q4mutil
