// HVTScriptHost: runs one application script on the platform's VBScript
// engine, with a form for its controls, a Host object and event handlers
// bound by name, until the script quits or its form is closed.
#pragma once

#include <windows.h>
#include <activscp.h>
#include <dispex.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "common/com.h"
#include "form.h"

namespace scripthost {

// What a host member answers once the run is ending: it unwinds the script.
inline constexpr HRESULT kRunEnding = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0201);
// Exit codes of the host besides the script's own Host.Quit code.
inline constexpr int kExitScriptError = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitCannotStart = 3;

class ScriptSite;

class ScriptHost {
public:
    ScriptHost(std::wstring scriptPath, std::vector<std::wstring> arguments);
    ScriptHost(const ScriptHost&) = delete;
    ScriptHost& operator=(const ScriptHost&) = delete;
    ~ScriptHost();

    // Runs the script to its end; the process's exit code.
    int Run();

    // --- For the Host object ---
    void Echo(const std::wstring& line);
    // Pumps messages for `milliseconds`; kRunEnding when the run ends meanwhile.
    HRESULT Sleep(LONG milliseconds);
    void Quit(int exitCode);
    bool Ending() const noexcept { return ending_; }
    // A script that goes on calling the host long after the run ended (its
    // errors ignored by On Error Resume Next) would never let the host end:
    // past a grace period the process ends with the run's exit code.
    void CalledWhileEnding();
    // Binds Sub <prefix>_<Event> handlers to the events of `source`.
    HRESULT Connect(IUnknown* source, const std::wstring& prefix, std::wstring& why);
    // Creates an object by ProgID, sited on the form when it is a control.
    HRESULT CreateControl(const std::wstring& progId, IDispatch** object, std::wstring& why);
    Form& GetForm() noexcept { return form_; }
    const std::wstring& ScriptPath() const noexcept { return scriptPath_; }
    const std::vector<std::wstring>& Arguments() const noexcept { return arguments_; }

    // --- For the engine's site ---
    // The engine's own CreateObject shows each new object here first.
    void ObjectCreated(IUnknown* object);
    void ScriptError(IActiveScriptError* error);
    // The script's global names, for event handlers.
    common::ComPtr<IDispatchEx> ScriptNames();
    IDispatch* HostObject() const noexcept { return hostObject_.get(); }

private:
    struct Connection {
        common::ComPtr<IConnectionPoint> point;
        DWORD cookie;
    };

    void PumpPending();
    // A line of the script (0 the first), without its indentation.
    std::wstring ScriptLine(ULONG line) const;
    void WriteError(const std::wstring& text);
    HRESULT StartEngine(const std::wstring& text);
    void StopEngine();

    std::wstring scriptPath_;
    std::vector<std::wstring> arguments_;
    std::wstring text_;
    Form form_;
    common::ComPtr<ScriptSite> site_;
    common::ComPtr<IDispatch> hostObject_;
    common::ComPtr<IActiveScript> engine_;
    std::vector<Connection> connections_;
    bool ending_ = false;
    DWORD endingSince_ = 0;
    bool errorReported_ = false;
    int exitCode_ = 0;
};

// The script's text from a file: UTF-16 or UTF-8 with their byte-order
// marks, otherwise the ANSI code page.
bool ReadScriptText(const std::wstring& path, std::wstring& text);

} // namespace scripthost
