// zvnrstart: leaves its command line in the registry for the application
// script "ZVNR.vb" beside it, then has the shell open that script.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace launcher {

// HKEY_CURRENT_USER\Software\Pellworth\ZVNR, "FileName": where the script
// finds the launcher's command line.
extern const wchar_t kSettingsKey[];
extern const wchar_t kFileNameValue[];

// Stores the command line exactly as received (empty when there is none).
// When the key cannot be created nothing is stored; the start goes on.
void RecordCommandLine(const wchar_t* commandLine);

// The script beside the program at `programPath`: everything after the last
// backslash replaced by "ZVNR.vb". Nothing when the path has no backslash.
std::optional<std::wstring> ScriptBeside(const std::wstring& programPath);

// The launcher's own full path; nothing when it does not fit in MAX_PATH.
std::optional<std::wstring> ProgramPath();

// Asks the shell to open the script with its default verb; true when the
// shell accepted the request.
bool OpenScript(const std::wstring& script, int showCommand);

} // namespace launcher
