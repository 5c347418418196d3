// What a script sees of its host, and how the host ends a run: Host.Quit
// with the script's code, a runtime or syntax error with its place and text
// on standard error and a failing exit code.
#include <gtest/gtest.h>

#include "host_run.h"

namespace {

TEST(HostRunsScript, EchoesArgumentsAndQuitsWithTheScriptsCode) {
    HostRun run;
    ASSERT_TRUE(run.Start("Host.Echo \"args\", UBound(Host.Arguments) + 1, Host.Arguments(1)\r\n"
                          "Host.Echo \"name\", LCase(Right(Host.ScriptName, 3))\r\n"
                          "Host.Sleep 10\r\n"
                          "Host.Echo \"quitting\"\r\n"
                          "Host.Quit 7\r\n"
                          "Host.Echo \"after quit\"\r\n",
                          L"orders \"two words\""));
    EXPECT_EQ(run.Finish(), 7u);
    EXPECT_EQ(run.Output(), "args 2 two words\r\nname .vb\r\nquitting\r\n");
    EXPECT_EQ(run.Errors(), "");
}

TEST(HostRunsScript, RuntimeErrorFailsTheRunWithItsLineAndText) {
    HostRun run;
    ASSERT_TRUE(run.Start("Host.Echo \"before\"\r\n"
                          "Dim n\r\n"
                          "n = CInt(\"twelve\")\r\n"
                          "Host.Echo \"after\"\r\n"));
    EXPECT_EQ(run.Finish(), 1u);
    EXPECT_EQ(run.Output(), "before\r\n");
    const std::string errors = run.Errors();
    EXPECT_NE(errors.find(".vb(3, "), std::string::npos) << errors;
    EXPECT_NE(errors.find("runtime error: Type mismatch"), std::string::npos) << errors;
    EXPECT_NE(errors.find("n = CInt(\"twelve\")"), std::string::npos) << errors;
}

TEST(HostRunsScript, SyntaxErrorRunsNothingAndNamesItsLine) {
    HostRun run;
    ASSERT_TRUE(run.Start("Host.Echo \"first\"\r\n"
                          "If True Then\r\n"
                          "    Host.Echo \"inside\"\r\n"
                          "End Iff\r\n"));
    EXPECT_EQ(run.Finish(), 1u);
    EXPECT_EQ(run.Output(), "");
    const std::string errors = run.Errors();
    EXPECT_NE(errors.find(".vb(4, "), std::string::npos) << errors;
    EXPECT_NE(errors.find("Syntax error"), std::string::npos) << errors;
}

TEST(HostRunsScript, ErrorAHostMemberRaisesCanBeHandledByTheScript) {
    HostRun run;
    ASSERT_TRUE(run.Start("On Error Resume Next\r\n"
                          "Set c = Host.CreateControl(\"No.SuchControl\")\r\n"
                          "Host.Echo \"err\", Hex(Err.Number), Err.Description\r\n"
                          "Err.Clear\r\n"
                          "Host.Connect Host.CreateList(), \"List\"\r\n"
                          "Host.Echo \"connect failed\", (Err.Number <> 0)\r\n"
                          "On Error GoTo 0\r\n"
                          "Host.Echo \"done\"\r\n"
                          "Host.Quit\r\n"));
    EXPECT_EQ(run.Finish(), 0u);
    EXPECT_EQ(run.Output(), "err 800401F3 CreateControl: cannot create No.SuchControl "
                            "(0x800401F3)\r\nconnect failed True\r\ndone\r\n");
}

TEST(HostRunsScript, MissingScriptFailsToStartAndSaysWhy) {
    HostRun run;
    ASSERT_TRUE(run.StartFile(L"C:\\no such folder\\none.vb"));
    EXPECT_EQ(run.Finish(), 3u);
    EXPECT_NE(run.Errors().find("none.vb: cannot read the script"), std::string::npos)
        << run.Errors();
}

} // namespace
