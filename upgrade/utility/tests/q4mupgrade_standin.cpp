// A test stand-in for Q4MUpgrade.dll: records each call's arguments in the
// registry and answers the status that the test chose. Like the library, it
// takes over a port handle that it is lent and leaves a handle of its own.
#include <windows.h>

#include <string>

#include "common/handle.h"
#include "q4mupgrade_standin.h"

namespace {

void SetText(HKEY key, const wchar_t* name, const wchar_t* text) {
    const std::wstring value = text != nullptr ? text : L"(null)";
    ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void SetNumber(HKEY key, const wchar_t* name, DWORD number) {
    ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                     sizeof(number));
}

DWORD Number(HKEY key, const wchar_t* name) {
    DWORD number = 0;
    DWORD size = sizeof(number);
    ::RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size);
    return number;
}

LONG Record(const wchar_t* entry, HANDLE* port, const wchar_t* portName, const wchar_t* driver,
            const wchar_t* image, const wchar_t* hostCopy, const wchar_t* logPath) {
    common::UniqueKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, standin::kRecordKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                          nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return static_cast<LONG>(E_FAIL);
    }
    SetNumber(key.get(), standin::kCalls, Number(key.get(), standin::kCalls) + 1);
    SetText(key.get(), standin::kEntry, entry);
    const bool lent = port != nullptr && *port != INVALID_HANDLE_VALUE;
    SetText(key.get(), standin::kHandle, lent ? L"open" : L"invalid");
    SetText(key.get(), standin::kPort, portName);
    SetText(key.get(), standin::kDriver, driver);
    SetText(key.get(), standin::kImage, image);
    SetText(key.get(), standin::kHostCopy, hostCopy);
    SetText(key.get(), standin::kLogPath, logPath);
    wchar_t program[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    const wchar_t* name = wcsrchr(program, L'\\');
    SetText(key.get(), standin::kProcess, name != nullptr ? name + 1 : program);
    if (lent) {
        // As the library does under a data server: close the lent handle, work
        // on one of our own and leave that in the slot.
        ::CloseHandle(*port);
        *port = ::CreateFileW(portName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr);
        SetNumber(key.get(), standin::kReopened, *port != INVALID_HANDLE_VALUE ? 1 : 0);
    }
    return static_cast<LONG>(Number(key.get(), standin::kResult));
}

} // namespace

extern "C" LONG WINAPI Q4MUpgrade(HANDLE* port, const wchar_t* portName, const wchar_t* driver,
                                  const wchar_t* image) {
    return Record(L"Q4MUpgrade", port, portName, driver, image, nullptr, nullptr);
}

extern "C" LONG WINAPI Q4MExtract(HANDLE* port, const wchar_t* portName, const wchar_t* driver,
                                  const wchar_t* image, const wchar_t* hostCopy,
                                  const wchar_t* logPath) {
    return Record(L"Q4MExtract", port, portName, driver, image, hostCopy, logPath);
}
