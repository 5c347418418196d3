#include "downloader.h"

#include "common/handle.h"

namespace dataserver {

namespace {

using UpgradeEntry = LONG(WINAPI*)(HANDLE* port, const wchar_t* portName,
                                   const wchar_t* flashDriver, const wchar_t* firmwareImage);

LONG LastError() {
    const DWORD error = ::GetLastError();
    return static_cast<LONG>(error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL);
}

} // namespace

bool ParseDescription(const std::wstring& text, DownloadDescription& description) {
    // The driver path ends at the first comma and the library path begins
    // after the last: the image path keeps any comma between.
    const size_t first = text.find(L',');
    const size_t last = text.rfind(L',');
    if (first == std::wstring::npos || first == last) {
        return false;
    }
    description.flashDriver = text.substr(0, first);
    description.firmwareImage = text.substr(first + 1, last - first - 1);
    description.upgradeLibrary = text.substr(last + 1);
    return !description.flashDriver.empty() && !description.firmwareImage.empty();
}

std::wstring UpgradeLibraryPath() {
    wchar_t self[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, length);
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"Q4MUpgrade.dll";
}

LONG RunDownload(PortHold& port, const std::wstring& descriptionText) {
    DownloadDescription description;
    if (!ParseDescription(descriptionText, description)) {
        return static_cast<LONG>(E_INVALIDARG);
    }
    if (!port.Held()) {
        return static_cast<LONG>(HRESULT_FROM_WIN32(ERROR_NOT_READY));
    }
    common::UniqueModule library(::LoadLibraryW(UpgradeLibraryPath().c_str()));
    if (!library) {
        return LastError();
    }
    auto upgrade = reinterpret_cast<UpgradeEntry>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), "Q4MUpgrade")));
    if (upgrade == nullptr) {
        return LastError();
    }
    HANDLE* slot = port.Lend();
    const LONG status = upgrade(slot, port.Name().c_str(), description.flashDriver.c_str(),
                                description.firmwareImage.c_str());
    port.Reclaim();
    return status;
}

} // namespace dataserver
