// Core: thin wrappers of the system's own calls. Failures are not reported
// except where a script must know (a process that cannot be created).
#include "core.h"
#include "script_handles.h"

#include <mmsystem.h>

#include <string>

#include "cepower.h"
#include "ceplatform.h"
#include "common/handle.h"

namespace {

constexpr LCID kSystemDefaultLocale = 0x800;
constexpr UINT kTextChars = 260;

// The process a script starts, with the handles creation returns owned, so
// that none is left open when the member returns.
struct StartedProcess {
    common::UniqueKernel process;
    common::UniqueKernel thread;
    DWORD id = 0;
};

bool Start(BSTR fileName, BSTR parameters, StartedProcess& started) {
    // The command line buffer is written by the system: a copy of our own.
    std::wstring commandLine = parameters != nullptr ? parameters : L"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(fileName, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info)) {
        return false;
    }
    started.process.reset(info.hProcess);
    started.thread.reset(info.hThread);
    started.id = info.dwProcessId;
    return true;
}

HRESULT ReturnDate(const SYSTEMTIME& time, DATE* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = 0;
    ::SystemTimeToVariantTime(const_cast<SYSTEMTIME*>(&time), value);
    return S_OK;
}

HRESULT ReturnParameterText(UINT action, BSTR* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    wchar_t text[kTextChars] = {};
    ::CeSystemParametersInfo(action, sizeof text, text, 0);
    *value = ::SysAllocString(text);
    return *value != nullptr ? S_OK : E_OUTOFMEMORY;
}

// The version record as the terminal's system fills it (276 bytes).
OSVERSIONINFOW Version() {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    ::GetVersionExW(&version);
    return version;
}
static_assert(sizeof(OSVERSIONINFOW) == 276);

HRESULT ReturnLong(DWORD number, LONG* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = static_cast<LONG>(number);
    return S_OK;
}

} // namespace

const frame::ObjectClass& Core::Class() {
    static const frame::ObjectClass cls = {&CLSID_Core, &IID_ICore, &DIID__ICoreEvents};
    return cls;
}

HRESULT Core::SoftReset() {
    ::KernelIoControl(IOCTL_HAL_REBOOT, nullptr, 0, nullptr, 0, nullptr);
    return S_OK;
}

HRESULT Core::RunAndReturn(BSTR FileName, BSTR Parameters, LONG* hProcess) {
    StartedProcess started;
    if (!Start(FileName, Parameters, started)) {
        return E_FAIL;
    }
    if (hProcess != nullptr) {
        *hProcess = static_cast<LONG>(started.id);
    }
    return S_OK;
}

HRESULT Core::RunAndWait(BSTR FileName, BSTR Parameters, LONG*) {
    StartedProcess started;
    if (!Start(FileName, Parameters, started)) {
        return E_FAIL;
    }
    ::WaitForSingleObject(started.process.get(), INFINITE);
    return S_OK;
}

HRESULT Core::GetLocalTime(DATE* pVal) {
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    return ReturnDate(now, pVal);
}

HRESULT Core::SetLocalTime(DATE NewDate) {
    SYSTEMTIME time = {};
    if (::VariantTimeToSystemTime(NewDate, &time)) {
        ::SetLocalTime(&time);
    }
    return S_OK;
}

HRESULT Core::SetSystemTime(DATE NewDate) {
    SYSTEMTIME time = {};
    if (::VariantTimeToSystemTime(NewDate, &time)) {
        ::SetSystemTime(&time);
    }
    return S_OK;
}

HRESULT Core::GetSystemDate(DATE* pVal) {
    SYSTEMTIME now = {};
    ::GetSystemTime(&now);
    return ReturnDate(now, pVal);
}

HRESULT Core::CaselessCompareString(BSTR String1, BSTR String2, VARIANT_BOOL IgnoreSymbols,
                                    INT* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    const DWORD flags = NORM_IGNORECASE | (IgnoreSymbols != VARIANT_FALSE ? NORM_IGNORESYMBOLS : 0);
    // The terminating zeros take part in the comparison, as the lengths say.
    const wchar_t* first = String1 != nullptr ? String1 : L"";
    const wchar_t* second = String2 != nullptr ? String2 : L"";
    *pVal = ::CompareStringW(kSystemDefaultLocale, flags, first,
                             static_cast<int>(::SysStringLen(String1)) + 1, second,
                             static_cast<int>(::SysStringLen(String2)) + 1);
    return S_OK;
}

HRESULT Core::DoEvents() {
    MSG message;
    if (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return S_OK;
}

HRESULT Core::GetFocus(LONG* hWnd) {
    return ReturnFocusWindow(hWnd);
}

HRESULT Core::GetTickCount(LONG* pVal) {
    return ReturnLong(::GetTickCount(), pVal);
}

HRESULT Core::PlaySound(BSTR FileName) {
    ::PlaySoundW(FileName, nullptr, SND_FILENAME | SND_SYNC);
    return S_OK;
}

HRESULT Core::Sleep(LONG Milliseconds) {
    ::Sleep(static_cast<DWORD>(Milliseconds));
    return S_OK;
}

HRESULT Core::get_OEMInfo(BSTR* pVal) {
    return ReturnParameterText(SPI_GETOEMINFO, pVal);
}

HRESULT Core::get_PlatformType(BSTR* pVal) {
    return ReturnParameterText(SPI_GETPLATFORMTYPE, pVal);
}

HRESULT Core::get_VersionMajor(LONG* pVal) {
    return ReturnLong(Version().dwMajorVersion, pVal);
}

HRESULT Core::get_VersionMinor(LONG* pVal) {
    return ReturnLong(Version().dwMinorVersion, pVal);
}

HRESULT Core::get_BuildNumber(LONG* pVal) {
    return ReturnLong(Version().dwBuildNumber, pVal);
}

HRESULT Core::get_PlatformID(LONG* pVal) {
    return ReturnLong(Version().dwPlatformId, pVal);
}
