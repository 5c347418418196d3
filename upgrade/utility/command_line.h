// The utility's command line: options a, b, u, s, p and e.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace q4mutil {

struct Options {
    std::optional<std::wstring> flashDriver;   // a
    std::optional<std::wstring> firmwareImage; // b
    std::optional<std::wstring> upgradeDll;    // u
    bool silent = false;                       // s
    std::optional<std::wstring> port;          // p, as a device name with ":"
    std::optional<std::wstring> hostCopy;      // e: extract into this file
};

// Only this many arguments are examined; unknown ones count too.
constexpr size_t kMaxArguments = 16;

// Arguments without the program name.
Options ParseArguments(const std::vector<std::wstring>& arguments);

// The arguments of a whole command line (the program name first).
std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine);

} // namespace q4mutil
