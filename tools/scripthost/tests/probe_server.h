// The probe object registered for one test and removed afterwards; the
// host's process finds it through the terminal's registry.
#pragma once

#include <windows.h>

#include "common/com.h"
#include "common/handle.h"

class RegisteredProbe {
public:
    RegisteredProbe();
    ~RegisteredProbe();
    RegisteredProbe(const RegisteredProbe&) = delete;
    RegisteredProbe& operator=(const RegisteredProbe&) = delete;
    HRESULT result() const noexcept { return result_; }

private:
    common::ComApartment apartment_;
    common::UniqueModule module_;
    HRESULT result_ = E_FAIL;
};
