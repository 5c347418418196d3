// zvnrstart.exe: records the command line, then opens ZVNR.vb beside itself.
#include <windows.h>

#include "common/com.h"
#include "launch.h"

namespace {

constexpr int kStarted = 0;
constexpr int kNotStarted = 1;

int Launch(const wchar_t* commandLine, int showCommand) {
    launcher::RecordCommandLine(commandLine);

    const auto program = launcher::ProgramPath();
    if (!program) {
        return kNotStarted;
    }
    const auto script = launcher::ScriptBeside(*program);
    if (!script) {
        return kNotStarted;
    }
    // The shell may hand the request to COM-based handlers.
    common::ComApartment apartment(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    return launcher::OpenScript(*script, showCommand) ? kStarted : kNotStarted;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int showCommand) {
    try {
        return Launch(commandLine, showCommand);
    } catch (...) {
        return kNotStarted;
    }
}
