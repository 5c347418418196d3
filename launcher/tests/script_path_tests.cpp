#include <gtest/gtest.h>

#include "launch.h"

TEST(ScriptPath, ScriptLiesBesideTheLauncher) {
    EXPECT_EQ(launcher::ScriptBeside(L"C:\\Program Files\\App\\zvnrstart.exe"),
              L"C:\\Program Files\\App\\ZVNR.vb");
    EXPECT_EQ(launcher::ScriptBeside(L"\\zvnrstart.exe"), L"\\ZVNR.vb");
}

TEST(ScriptPath, PathWithoutABackslashHasNoScript) {
    EXPECT_FALSE(launcher::ScriptBeside(L"zvnrstart.exe").has_value());
    EXPECT_FALSE(launcher::ScriptBeside(L"").has_value());
}
