// What the install hook's tests share: the library loaded the way the
// installer loads it, install folders of their own, and a watch on the
// stand-in utility that records its start.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "Q4MUpgradeSetup.h"
#include "common/handle.h"

namespace setuptest {

// The four calls, found by their plain names.
struct SetupLibrary {
    common::UniqueModule module;
    InstallInitFunction installInit = nullptr;
    InstallExitFunction installExit = nullptr;
    UninstallInitFunction uninstallInit = nullptr;
    UninstallExitFunction uninstallExit = nullptr;
};
const SetupLibrary& Library();

// Runs Install_Exit the way the installer does after a clean installation.
codeINSTALL_EXIT InstallExit(const std::wstring& folder);

// A terminal folder with the given path (parents are created), removed with
// its files afterwards unless it already existed.
class InstallFolder {
public:
    explicit InstallFolder(std::wstring path);
    ~InstallFolder();
    InstallFolder(const InstallFolder&) = delete;
    InstallFolder& operator=(const InstallFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring File(const wchar_t* name) const { return path_ + L"\\" + name; }

    // Puts the stand-in there under the upgrade utility's name.
    void PlaceUtility() const;
    std::string Log() const;

private:
    std::wstring path_;
    std::vector<std::wstring> created_;
};

// Folder names of our own on the storage card, padded to an exact length.
std::wstring TestFolder(const std::wstring& name);
std::wstring TestFolderOfLength(size_t length);

// Sees the stand-in start. Create it before the call that should start it.
class UtilityWatch {
public:
    UtilityWatch();
    // The command line the stand-in in `folder` received, once it has run to
    // its end; nothing when it did not start in time.
    std::optional<std::wstring> WaitForStart(const InstallFolder& folder) const;

private:
    common::UniqueKernel started_;
};

} // namespace setuptest
