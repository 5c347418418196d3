// One configuration number of the simulated terminal, set for a test and put
// back as it was afterwards.
#pragma once

#include <windows.h>

#include <string>

class ConfigNumber {
public:
    ConfigNumber(const wchar_t* key, const wchar_t* name, DWORD value) : key_(key), name_(name) {
        DWORD size = sizeof(old_);
        hadOld_ = ::RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_DWORD, nullptr, &old_,
                                 &size) == ERROR_SUCCESS;
        Set(value);
    }
    ConfigNumber(const ConfigNumber&) = delete;
    ConfigNumber& operator=(const ConfigNumber&) = delete;
    ~ConfigNumber() {
        if (hadOld_) {
            Set(old_);
        } else {
            ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key_.c_str(), name_.c_str());
        }
    }
    void Set(DWORD value) {
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, key_.c_str(), name_.c_str(), REG_DWORD, &value,
                          sizeof(value));
    }

private:
    std::wstring key_;
    std::wstring name_;
    DWORD old_ = 0;
    bool hadOld_ = false;
};

constexpr wchar_t kPowerConfig[] = L"Software\\TerminalSimulator\\Power";
constexpr wchar_t kMemoryConfig[] = L"Software\\TerminalSimulator\\Memory";
