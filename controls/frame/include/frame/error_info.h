// Automation error information: what a script sees in its Err object.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace frame {

// Sets the thread's error information (description, source = the ProgID of
// `clsid`, interface `iid`) and returns `hr` for the member to return.
HRESULT ReportError(REFCLSID clsid, REFIID iid, HRESULT hr, const wchar_t* description) noexcept;

} // namespace frame
