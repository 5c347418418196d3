#include "CRegistry.h"

#include "HVTEventLog.h"
#include "HVTStructuredException.h"

bool CRegistry::Fail(DWORD code, DWORD systemError) {
    errorCode_ = code;
    systemError_ = systemError;
    if (raiseErrors_) {
        hvt::RaiseSystemError(code, systemError);
    }
    return false;
}

bool CRegistry::Open(HKEY parent, const wchar_t* subKey, REGSAM access) {
    Close();
    LONG error = ::RegOpenKeyExW(parent, subKey, 0, access, key_.put());
    if (error != ERROR_SUCCESS) {
        ::OutputDebugStringW(L"CRegistry::Open Error\n");
        return Fail(hvt::REGISTRY_OPEN_FAILED, static_cast<DWORD>(error));
    }
    opened_ = true;
    return true;
}

bool CRegistry::Create(HKEY parent, const wchar_t* subKey, REGSAM access) {
    Close();
    LONG error =
        ::RegCreateKeyExW(parent, subKey, 0, nullptr, 0, access, nullptr, key_.put(), nullptr);
    if (error != ERROR_SUCCESS) {
        ::OutputDebugStringW(L"CRegistry::Create Error\n");
        return Fail(hvt::REGISTRY_CREATE_FAILED, static_cast<DWORD>(error));
    }
    opened_ = true;
    return true;
}

void CRegistry::Close() noexcept {
    key_.reset();
    opened_ = false;
}

bool CRegistry::QueryDword(const wchar_t* name, DWORD* value) {
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof(data);
    LONG error =
        ::RegQueryValueExW(key_.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (error == ERROR_MORE_DATA) {
        return Fail(hvt::REGISTRY_WRONG_TYPE, static_cast<DWORD>(error));
    }
    if (error != ERROR_SUCCESS) {
        return Fail(hvt::REGISTRY_QUERY_FAILED, static_cast<DWORD>(error));
    }
    if ((type != REG_DWORD && type != REG_BINARY) || size != sizeof(data)) {
        return Fail(hvt::REGISTRY_WRONG_TYPE, ERROR_INVALID_DATA);
    }
    *value = data;
    return true;
}

bool CRegistry::QueryBinary(const wchar_t* name, void* data, DWORD size) {
    DWORD type = 0;
    DWORD actual = 0;
    LONG error = ::RegQueryValueExW(key_.get(), name, nullptr, &type, nullptr, &actual);
    if (error != ERROR_SUCCESS) {
        errorCode_ = hvt::REGISTRY_QUERY_FAILED;
        systemError_ = static_cast<DWORD>(error);
        HVTLogEvent(errorCode_, systemError_, 0);
        return false;
    }
    // Only a value of exactly the caller's size is taken: a shorter or longer
    // one would leave part of the caller's structure undefined or overrun it.
    if (type != REG_BINARY || actual != size) {
        errorCode_ = hvt::REGISTRY_WRONG_TYPE;
        systemError_ = ERROR_INVALID_DATA;
        HVTLogEvent(errorCode_, type, actual);
        return false;
    }
    error = ::RegQueryValueExW(key_.get(), name, nullptr, &type, static_cast<BYTE*>(data), &actual);
    if (error != ERROR_SUCCESS || actual != size) {
        errorCode_ = hvt::REGISTRY_QUERY_FAILED;
        systemError_ = static_cast<DWORD>(error);
        HVTLogEvent(errorCode_, systemError_, 0);
        return false;
    }
    return true;
}

bool CRegistry::SetBinary(const wchar_t* name, const void* data, DWORD size) {
    LONG error =
        ::RegSetValueExW(key_.get(), name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
    if (error != ERROR_SUCCESS) {
        errorCode_ = hvt::REGISTRY_SET_FAILED;
        systemError_ = static_cast<DWORD>(error);
        HVTLogEvent(errorCode_, systemError_, 0);
        return false;
    }
    return true;
}
