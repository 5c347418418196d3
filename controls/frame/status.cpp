#include "frame/status.h"

namespace frame {

namespace {

// The status of the innermost dispatch call on this thread: a member can call
// another object's Invoke (an event sink, a nested object) before it returns.
thread_local HRESULT t_status = S_OK;

} // namespace

HRESULT SystemStatus(DWORD code) noexcept {
    t_status = static_cast<HRESULT>(code);
    return t_status;
}

StatusScope::StatusScope() noexcept : outer_(t_status) {
    t_status = S_OK;
}

StatusScope::~StatusScope() {
    t_status = outer_;
}

HRESULT StatusScope::Result(HRESULT hr) const noexcept {
    if (FAILED(hr) || !IsSystemStatus(t_status)) {
        return hr;
    }
    return t_status;
}

} // namespace frame
