#include "command_line.h"

#include <windows.h>
#include <shellapi.h>

#include <cwctype>

#include "common/handle.h"

namespace q4mutil {

Options ParseArguments(const std::vector<std::wstring>& arguments) {
    Options options;
    const size_t count = arguments.size() < kMaxArguments ? arguments.size() : kMaxArguments;
    for (size_t i = 0; i < count; ++i) {
        std::wstring argument = arguments[i];
        if (!argument.empty() && (argument[0] == L'/' || argument[0] == L'-')) {
            argument.erase(0, 1);
        }
        if (argument.empty()) {
            continue;
        }
        const wchar_t option = static_cast<wchar_t>(std::towlower(argument[0]));
        std::wstring value = argument.substr(1);
        switch (option) {
        case L'a':
            options.flashDriver = value;
            break;
        case L'b':
            options.firmwareImage = value;
            break;
        case L'u':
            options.upgradeDll = value;
            break;
        case L's':
            options.silent = true;
            break;
        case L'p':
            // Device names are not case-sensitive; one case reads better in the log.
            for (wchar_t& c : value) {
                c = static_cast<wchar_t>(std::towupper(c));
            }
            options.port = value + L":";
            break;
        case L'e':
            options.hostCopy = value;
            break;
        default:
            break;
        }
    }
    return options;
}

std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine) {
    std::vector<std::wstring> arguments;
    int count = 0;
    common::UniqueLocal list(::CommandLineToArgvW(commandLine, &count));
    LPWSTR* argv = static_cast<LPWSTR*>(list.get());
    for (int i = 0; argv != nullptr && i < count; ++i) {
        arguments.emplace_back(argv[i]);
    }
    return arguments;
}

} // namespace q4mutil
