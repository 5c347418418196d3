// Test program entry: runs the tests, or one registered child when started
// as "--child NAME [ARG...]".
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testsupport/child.h"

int main(int argc, char** argv) {
    int wideCount = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &wideCount);
    if (wide != nullptr && wideCount >= 3 && std::wstring(wide[1]) == L"--child") {
        std::vector<std::wstring> args(wide + 3, wide + wideCount);
        testsupport::ChildMain child = testsupport::FindChild(wide[2]);
        ::LocalFree(wide);
        return child != nullptr ? child(args) : 99;
    }
    ::LocalFree(wide);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
