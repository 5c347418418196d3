// Owner for WinINet handles (sessions, connections, open remote files).
#pragma once

#include <windows.h>
#include <wininet.h>

#include "common/handle.h"

namespace common {

struct InternetHandleTraits {
    using Type = HINTERNET;
    static Type invalid() noexcept { return nullptr; }
    static void close(Type h) noexcept { ::InternetCloseHandle(h); }
};

using UniqueInternet = UniqueHandle<InternetHandleTraits>;

} // namespace common
