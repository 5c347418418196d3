// Texts as the utility log holds them (ANSI code page).
#pragma once

#include <windows.h>

#include <string>

namespace utiltest {

inline std::string Narrow(const std::wstring& text) {
    std::string narrow(text.size() * 2 + 1, '\0');
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow.data(),
                                             static_cast<int>(narrow.size()), nullptr, nullptr);
    narrow.resize(length > 0 ? static_cast<size_t>(length - 1) : 0);
    return narrow;
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace utiltest
