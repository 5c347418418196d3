// Where things of the simulated terminal are, seen from inside it.
#pragma once

#include <string>

namespace testsupport {

// Folder of the running test program (build/bin), with a trailing backslash.
std::wstring ProgramFolder();

// The host folder that is the terminal's drive C:, as a Windows path through
// drive Z:, so a test can check that a file really landed on the terminal.
std::wstring HostDriveC();

// Reads a whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);

// Writes a whole file; false on failure.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

// Removes a folder with everything below it; false if something remains.
bool RemoveTree(const std::wstring& path);

} // namespace testsupport
