// A registry key wrapper that reports failures as structured exceptions
// (raise-errors on) or keeps the failure code for the caller to look at.
#pragma once

#include <windows.h>

#include "common/handle.h"

class CRegistry {
public:
    explicit CRegistry(bool raiseErrors = true) noexcept : raiseErrors_(raiseErrors) {}

    // Opens an existing key; 0xC12E000E on failure.
    bool Open(HKEY parent, const wchar_t* subKey, REGSAM access = KEY_READ);
    // Creates the key or opens it when it exists; 0xC12E000A on failure.
    bool Create(HKEY parent, const wchar_t* subKey, REGSAM access = KEY_READ | KEY_WRITE);
    void Close() noexcept;

    // A 4-byte number; 0xC12E000C when it cannot be read, 0xC12E000D when it
    // is not a 4-byte value.
    bool QueryDword(const wchar_t* name, DWORD* value);

    // A binary value of exactly size bytes, read into data only when it is one.
    // These two never raise: a failure is recorded as an event (0xC12E000C or
    // 0xC12E000D for a read, 0xC12E000B for a write) with the system error code.
    bool QueryBinary(const wchar_t* name, void* data, DWORD size);
    bool SetBinary(const wchar_t* name, const void* data, DWORD size);

    HKEY Key() const noexcept { return key_.get(); }
    bool IsOpened() const noexcept { return opened_; }
    // The code of the last failure (0 when none) and its system error code.
    DWORD ErrorCode() const noexcept { return errorCode_; }
    DWORD SystemError() const noexcept { return systemError_; }

private:
    bool Fail(DWORD code, DWORD systemError);

    common::UniqueKey key_;
    bool opened_ = false;
    bool raiseErrors_;
    DWORD errorCode_ = 0;
    DWORD systemError_ = 0;
};
