// A test program can run itself again as a named child, so that a test can
// watch what a second process sees (shared memory, registry, ports).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/handle.h"

namespace testsupport {

using ChildMain = int (*)(const std::vector<std::wstring>& args);

// Declare at namespace scope: static ChildRegistration r(L"name", function);
struct ChildRegistration {
    ChildRegistration(const wchar_t* name, ChildMain main);
};

// Finds a registered child by name; nullptr when there is none.
ChildMain FindChild(const std::wstring& name);

// Starts this program as child `name` with extra arguments (already quoted).
common::UniqueKernel StartChild(const std::wstring& name, const std::wstring& args = L"");

// Runs child `name` to its end and returns its exit code (0xFFFFFFFF if it
// could not be started or did not end within the time limit).
DWORD RunChild(const std::wstring& name, const std::wstring& args = L"", DWORD timeoutMs = 60000);

} // namespace testsupport
