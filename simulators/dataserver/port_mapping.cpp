#include "port_mapping.h"

#include <windows.h>

#include <cwctype>

#include "common/handle.h"

namespace dataserver {

namespace {

// The link is moved by the host's own tools: Wine opens the device behind a
// port link, so neither MoveFile nor DeleteFile can touch the link itself.
const wchar_t kHostShell[] = L"Z:\\bin\\sh";
constexpr DWORD kSettleTimeoutMs = 5000;
constexpr DWORD kSettlePollMs = 10;

std::wstring Prefix() {
    wchar_t prefix[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        return prefix;
    }
    wchar_t home[MAX_PATH] = {};
    const DWORD homeLength = ::GetEnvironmentVariableW(L"HOME", home, MAX_PATH);
    return homeLength > 0 && homeLength < MAX_PATH ? std::wstring(home) + L"/.wine" : L"";
}

// "\\.\COM4", "COM4:" and "com4" all name the link "com4".
std::wstring LinkName(std::wstring port) {
    if (port.rfind(L"\\\\.\\", 0) == 0) {
        port.erase(0, 4);
    }
    if (!port.empty() && port.back() == L':') {
        port.pop_back();
    }
    for (wchar_t& c : port) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return port;
}

std::wstring ThroughDriveZ(std::wstring unixPath) {
    for (wchar_t& c : unixPath) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return L"Z:" + unixPath;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Looks the name up in its folder: asking for the attributes of a link to a
// serial line fails under Wine (it opens the line).
bool Exists(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    common::UniqueFind find(::FindFirstFileW(path.c_str(), &found));
    return find.valid();
}

// A host program started from Wine runs on its own: its effect is what shows
// that it has run.
template <typename Done> bool WaitUntil(Done done) {
    for (DWORD waited = 0; waited < kSettleTimeoutMs; waited += kSettlePollMs) {
        if (done()) {
            return true;
        }
        ::Sleep(kSettlePollMs);
    }
    return done();
}

} // namespace

PortMapping::PortMapping(const std::wstring& portName) {
    const std::wstring prefix = Prefix();
    const std::wstring name = LinkName(portName);
    if (prefix.empty() || name.empty() || prefix.find(L'\'') != std::wstring::npos) {
        return;
    }
    unixLink_ = prefix + L"/dosdevices/" + name;
    // Not "com4.something": Wine takes any name that starts with a device
    // name and a dot for the device itself.
    unixAside_ = prefix + L"/dosdevices/dataserver-" + name;
    windowsLink_ = ThroughDriveZ(unixLink_);
    windowsAside_ = ThroughDriveZ(unixAside_);
}

bool PortMapping::RunHostCommand(const std::wstring& script) const {
    std::wstring commandLine = L"sh -c \"" + script + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(kHostShell, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &started)) {
        return false;
    }
    common::UniqueKernel process(started.hProcess);
    common::UniqueKernel thread(started.hThread);
    return true;
}

bool PortMapping::Withdraw() {
    if (unixLink_.empty()) {
        return false;
    }
    if (Withdrawn()) {
        return true;
    }
    if (!RunHostCommand(L"mv -T '" + unixLink_ + L"' '" + unixAside_ + L"' && mkdir '" + unixLink_ +
                        L"'")) {
        return false;
    }
    return WaitUntil([this] { return Withdrawn(); });
}

bool PortMapping::Restore() {
    if (unixLink_.empty()) {
        return false;
    }
    if (!Withdrawn()) {
        return true;
    }
    // The terminal wrapper refreshes its port links at every start and may
    // have left one inside the stand-in folder: remove the folder whole.
    if (!RunHostCommand(L"[ -d '" + unixLink_ + L"' ] && [ ! -L '" + unixLink_ +
                        L"' ] && rm -rf '" + unixLink_ + L"' && mv -T '" + unixAside_ + L"' '" +
                        unixLink_ + L"'")) {
        return false;
    }
    // Wine answers for a port link even while it is missing: what shows that
    // the link is back is that the folder and the link set aside are gone.
    return WaitUntil([this] { return !IsFolder(windowsLink_) && !Exists(windowsAside_); });
}

bool PortMapping::Withdrawn() const {
    return !windowsLink_.empty() && IsFolder(windowsLink_) && Exists(windowsAside_);
}

bool PortMapping::RepairStale() {
    return Restore();
}

} // namespace dataserver
