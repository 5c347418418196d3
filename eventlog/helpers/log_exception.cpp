#include "HVTLogException.h"

#include <cwchar>

#include "HVTEventLog.h"

LONG HVTLogException(const EXCEPTION_POINTERS* information, DWORD* code) {
    const EXCEPTION_RECORD* record =
        information != nullptr ? information->ExceptionRecord : nullptr;
    if (record == nullptr) {
        return EXCEPTION_EXECUTE_HANDLER;
    }
    const DWORD exceptionCode = record->ExceptionCode;
    const DWORD count = record->NumberParameters;
    const DWORD first = count >= 1 ? static_cast<DWORD>(record->ExceptionInformation[0]) : 0;
    const DWORD second = count >= 2 ? static_cast<DWORD>(record->ExceptionInformation[1]) : 0;
    if (code != nullptr) {
        *code = exceptionCode;
    }
    HVTLogEvent(exceptionCode, first, count == 2 ? second : 0);

    SYSTEMTIME now;
    ::GetLocalTime(&now);
    wchar_t line[200];
    std::swprintf(line, sizeof(line) / sizeof(line[0]),
                  L"HVTLogException: 0x%08X; #Params: %d; Params: 0x%08X 0x%08X\r\n"
                  L"HVTLogException Time: %d:%d:%d  %d/%d/%d.\r\n",
                  static_cast<unsigned>(exceptionCode), static_cast<int>(count),
                  static_cast<unsigned>(first), static_cast<unsigned>(second), now.wHour,
                  now.wMinute, now.wSecond, now.wMonth, now.wDay, now.wYear);
    ::OutputDebugStringW(line);
    return EXCEPTION_EXECUTE_HANDLER;
}

LONG HVTLogException(const hvt::StructuredException& exception, DWORD* code) {
    EXCEPTION_RECORD record = exception.record();
    EXCEPTION_POINTERS information{&record, nullptr};
    return HVTLogException(&information, code);
}
