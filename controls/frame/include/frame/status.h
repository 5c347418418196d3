// System error numbers as member results.
//
// Some members answer a failure with a plain system error number (1400 for
// a handle that is not a window, 87 for a bad parameter, 10057 for "not
// connected", a registry code) in place of an HRESULT. The number is
// positive, so automation counts it as success: a script raises no error and
// the member's result is whatever the member left in it. A C++ caller of the
// dual interface gets the number as the member's return value, and so does
// a caller of IDispatch::Invoke (the frame's dispatch passes it on, where
// the system's type-information dispatch would turn it into S_OK).
//
//   HRESULT Helper::get_ItemCount(LONG* count) {
//       if (!::IsWindow(window_)) {
//           return frame::SystemStatus(ERROR_INVALID_WINDOW_HANDLE);
//       }
//       ...
//   }
#pragma once

#include <windows.h>

namespace frame {

// The member's return value for system error number `code` (a positive
// number, never 0). Call it as the member returns, on the calling thread.
HRESULT SystemStatus(DWORD code) noexcept;

// True when `hr` is a system error number that a member returned this way.
constexpr bool IsSystemStatus(HRESULT hr) noexcept {
    return hr > 1;
}

// --- For the frame's dispatch ---
// Collects the status that members called through one Invoke return.
class StatusScope {
public:
    StatusScope() noexcept;
    StatusScope(const StatusScope&) = delete;
    StatusScope& operator=(const StatusScope&) = delete;
    ~StatusScope();

    // The status a member returned inside this scope, or `hr` when it
    // returned none or `hr` is a failure.
    HRESULT Result(HRESULT hr) const noexcept;

private:
    HRESULT outer_; // the enclosing scope's status, put back at the end
};

} // namespace frame
