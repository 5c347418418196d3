#include "setup_fixture.h"

#include <gtest/gtest.h>

#include "testsupport/paths.h"

namespace setuptest {

namespace {

const wchar_t kTestsRoot[] = L"\\Storage Card\\SetupTests";
const wchar_t kStartedEvent[] = L"Q4MSetupTests.UtilityStarted";
constexpr DWORD kStartTimeoutMs = 30000;

template <typename Function> void Find(HMODULE module, const char* name, Function& function) {
    // Through void*: GetProcAddress's own type says nothing of the parameters.
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

SetupLibrary Load() {
    SetupLibrary setup;
    setup.module.reset(
        ::LoadLibraryW((testsupport::ProgramFolder() + L"Q4MUpgradeSetup.dll").c_str()));
    if (setup.module) {
        Find(setup.module.get(), "Install_Init", setup.installInit);
        Find(setup.module.get(), "Install_Exit", setup.installExit);
        Find(setup.module.get(), "Uninstall_Init", setup.uninstallInit);
        Find(setup.module.get(), "Uninstall_Exit", setup.uninstallExit);
    }
    return setup;
}

void RemoveFolderContents(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    common::UniqueFind find(::FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!find) {
        return;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        const std::wstring path = folder + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveFolderContents(path);
            ::RemoveDirectoryW(path.c_str());
        } else {
            ::DeleteFileW(path.c_str());
        }
    } while (::FindNextFileW(find.get(), &found));
}

} // namespace

const SetupLibrary& Library() {
    static const SetupLibrary setup = Load();
    return setup;
}

codeINSTALL_EXIT InstallExit(const std::wstring& folder) {
    return Library().installExit(nullptr, folder.c_str(), 0, 0, 0, 0, 0);
}

InstallFolder::InstallFolder(std::wstring path) : path_(std::move(path)) {
    for (size_t end = path_.find(L'\\', 1);; end = path_.find(L'\\', end + 1)) {
        const std::wstring part = path_.substr(0, end);
        // Our own folders go away afterwards, even those an earlier run left.
        if (::CreateDirectoryW(part.c_str(), nullptr) || part.rfind(kTestsRoot, 0) == 0) {
            created_.push_back(part);
        }
        if (end == std::wstring::npos) {
            break;
        }
    }
    if (!created_.empty() && created_.back() == path_) {
        RemoveFolderContents(path_);
    }
}

InstallFolder::~InstallFolder() {
    for (auto folder = created_.rbegin(); folder != created_.rend(); ++folder) {
        RemoveFolderContents(*folder);
        ::RemoveDirectoryW(folder->c_str());
    }
}

void InstallFolder::PlaceUtility() const {
    ASSERT_TRUE(::CopyFileW((testsupport::ProgramFolder() + L"setup_test_utility.exe").c_str(),
                            File(L"Q4MUpgradeUtility.exe").c_str(), FALSE));
}

std::string InstallFolder::Log() const {
    return testsupport::ReadFileBytes(File(L"q4muperr.log"));
}

std::wstring TestFolder(const std::wstring& name) {
    return std::wstring(kTestsRoot) + L"\\" + name;
}

std::wstring TestFolderOfLength(size_t length) {
    std::wstring folder = TestFolder(L"Long");
    folder.resize(length, L'x');
    return folder;
}

UtilityWatch::UtilityWatch() : started_(::CreateEventW(nullptr, TRUE, FALSE, kStartedEvent)) {
    ::ResetEvent(started_.get());
}

std::optional<std::wstring> UtilityWatch::WaitForStart(const InstallFolder& folder) const {
    if (::WaitForSingleObject(started_.get(), kStartTimeoutMs) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    const std::string record = testsupport::ReadFileBytes(folder.File(L"Q4MUpgradeUtility.ran"));
    const size_t newline = record.find('\n');
    if (newline == std::string::npos) {
        return std::nullopt;
    }
    // Let it end, so that its folder can be removed.
    const DWORD pid = std::stoul(record.substr(0, newline));
    common::UniqueKernel process(::OpenProcess(SYNCHRONIZE, FALSE, pid));
    if (process) {
        ::WaitForSingleObject(process.get(), kStartTimeoutMs);
    }
    std::string line = record.substr(newline + 1);
    if (!line.empty() && line.back() == '\n') {
        line.pop_back();
    }
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
    std::wstring commandLine(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                          commandLine.data(), size);
    return commandLine;
}

} // namespace setuptest
