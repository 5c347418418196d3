// A script sees the frame's objects as the application script does: by
// ProgID, with properties, optional arguments and errors in its Err object.
#include <windows.h>

#include <gtest/gtest.h>

#include "sample_server.h"
#include "testsupport/script_host.h"

namespace {

TEST(Script, DrivesTheSampleAndSeesErrorsInErr) {
    common::ComApartment apartment;
    RegisteredSample registered;
    ASSERT_EQ(registered.result(), S_OK);
    const std::string output = testsupport::RunVbScript(
        "Set s = CreateObject(\"FrameSample.Sample\")\r\n"
        "s.Number = 12\r\n"
        "WScript.Echo \"Number \" & s.Number\r\n"
        "WScript.Echo \"Sum \" & s.Add(4)\r\n"
        "On Error Resume Next\r\n"
        "s.Fail \"no good\"\r\n"
        "WScript.Echo \"Err \" & Hex(Err.Number) & \" \" & Err.Description & \" \" & Err.Source\r\n"
        "Err.Clear\r\n"
        "s.Number = -3\r\n"
        "WScript.Echo \"Err \" & Err.Number & \" \" & Err.Description\r\n"
        "On Error GoTo 0\r\n"
        "WScript.Echo \"Number \" & s.Number\r\n"
        "WScript.Echo \"done\"\r\n");
    EXPECT_EQ(output, "Number 12\r\n"
                      "Sum 5\r\n"
                      "Err 80070057 no good FrameSample.Sample.1\r\n"
                      // The standard control errors reach a script as their number.
                      "Err 380 Number must not be negative\r\n"
                      "Number 12\r\n"
                      "done\r\n");
}

} // namespace
