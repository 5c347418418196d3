// Replaces one imported function of a loaded module for as long as the patch
// lives, so a test can make a system call fail in a way it cannot provoke
// from outside (the module's own code is unchanged).
#pragma once

#include <windows.h>

namespace testsupport {

class ImportPatch {
public:
    // `dll` is matched without regard to case ("wininet.dll").
    ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement);
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    ~ImportPatch();

    // False when the module does not import that function.
    bool active() const { return slot_ != nullptr; }
    // The function the module called before.
    void* original() const { return original_; }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

} // namespace testsupport
