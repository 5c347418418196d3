#include "testsupport/child.h"

#include <cstdio>
#include <map>

namespace testsupport {
namespace {

std::map<std::wstring, ChildMain>& Registry() {
    static std::map<std::wstring, ChildMain> children;
    return children;
}

} // namespace

ChildRegistration::ChildRegistration(const wchar_t* name, ChildMain main) {
    Registry()[name] = main;
}

ChildMain FindChild(const std::wstring& name) {
    auto found = Registry().find(name);
    return found == Registry().end() ? nullptr : found->second;
}

common::UniqueKernel StartChild(const std::wstring& name, const std::wstring& args) {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --child " + name;
    if (!args.empty()) {
        commandLine += L" " + args;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return {};
    }
    ::CloseHandle(info.hThread);
    return common::UniqueKernel(info.hProcess);
}

DWORD RunChild(const std::wstring& name, const std::wstring& args, DWORD timeoutMs) {
    common::UniqueKernel process = StartChild(name, args);
    if (!process) {
        // Said here, as the caller sees only the exit code.
        std::fprintf(stderr, "child %ls did not start: error %lu\n", name.c_str(),
                     ::GetLastError());
        return 0xFFFFFFFF;
    }
    if (::WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "child %ls did not end within %lu ms\n", name.c_str(), timeoutMs);
        ::TerminateProcess(process.get(), 0xFFFFFFFF);
        return 0xFFFFFFFF;
    }
    DWORD code = 0xFFFFFFFF;
    ::GetExitCodeProcess(process.get(), &code);
    return code;
}

} // namespace testsupport
