// Failures inside the event log and its helpers travel as structured
// exceptions: a code in the event code layout and up to
// EXCEPTION_MAXIMUM_PARAMETERS parameters, kept as the system's exception
// record so that HVTLogException treats them like any other exception.
// Catch them at every export, window procedure and thread procedure.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace hvt {

class StructuredException {
public:
    explicit StructuredException(DWORD code, std::initializer_list<ULONG_PTR> parameters = {})
        : record_{} {
        record_.ExceptionCode = code;
        for (ULONG_PTR parameter : parameters) {
            if (record_.NumberParameters < EXCEPTION_MAXIMUM_PARAMETERS) {
                record_.ExceptionInformation[record_.NumberParameters++] = parameter;
            }
        }
    }

    DWORD code() const noexcept { return record_.ExceptionCode; }
    DWORD parameterCount() const noexcept { return record_.NumberParameters; }
    ULONG_PTR parameter(DWORD index) const noexcept {
        return index < record_.NumberParameters ? record_.ExceptionInformation[index] : 0;
    }
    const EXCEPTION_RECORD& record() const noexcept { return record_; }

private:
    EXCEPTION_RECORD record_;
};

// Raises code with the system error code as its one parameter.
[[noreturn]] inline void RaiseSystemError(DWORD code, DWORD systemError) {
    throw StructuredException(code, {systemError});
}

} // namespace hvt
