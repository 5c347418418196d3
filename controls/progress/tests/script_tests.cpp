// A script drives the control through the terminal's script host.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "common/com.h"
#include "progress_server.h"
#include "testsupport/script_host.h"

namespace {

TEST(Script, CreatesTheControlByProgIdAndReadsItsProperties) {
    {
        common::ComApartment apartment;
        ASSERT_EQ(RegisterProgressServer(), S_OK);
    }
    const std::string output =
        testsupport::RunVbScript("Set bar = CreateObject(\"QzpeProgressBar.ProgressBar\")\r\n"
                                 "WScript.Echo \"Version \" & bar.Version\r\n"
                                 "bar.Max = 250\r\n"
                                 "bar.Min = 10\r\n"
                                 "WScript.Echo \"Range \" & bar.Min & \"-\" & bar.Max\r\n"
                                 "bar.Scrolling = 0\r\n"
                                 "WScript.Echo \"Scrolling \" & bar.Scrolling\r\n"
                                 "WScript.Echo \"done\"\r\n");
    EXPECT_EQ(output, "Version 1.0.0\r\nRange 10-250\r\nScrolling 0\r\ndone\r\n");
}

} // namespace
