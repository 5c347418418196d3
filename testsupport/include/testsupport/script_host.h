// Runs a VBScript with the terminal's script host (cscript), as the
// application script would run.
#pragma once

#include <string>

namespace testsupport {

// Writes `script` (ANSI text, "\r\n" lines) to a temporary file, runs it with
// "cscript //nologo" and returns everything it printed. A script that fails
// ends silently: end it with a line of its own and expect that line.
std::string RunVbScript(const std::string& script);

} // namespace testsupport
