// A script drives the control through the terminal's script host.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "barcode_fixture.h"
#include "testsupport/script_host.h"

namespace {

using Script = BarcodeTest;

TEST_F(Script, CreatesTheControlByProgIdAssignsTheDeviceAndReadsItBack) {
    const std::string output =
        testsupport::RunVbScript("Set reader = CreateObject(\"Harvanti.HVTAXBarCode\")\r\n"
                                 "WScript.Echo \"Name \" & reader.DeviceName\r\n"
                                 "reader.DeviceName = \"ScriptScanner\"\r\n"
                                 "reader.ReadAhead = False\r\n"
                                 "WScript.Echo \"Name \" & reader.DeviceName\r\n"
                                 "WScript.Echo \"ReadAhead \" & reader.ReadAhead\r\n"
                                 "WScript.Echo \"Flush \" & reader.FlushDataOnGridChange\r\n"
                                 "reader.DeviceDependentGrid = 255\r\n"
                                 "WScript.Echo \"Grid \" & reader.DeviceDependentGrid\r\n"
                                 "reader.PostRead 512, 0\r\n"
                                 "reader.Unload\r\n"
                                 "WScript.Echo \"done\"\r\n");
    EXPECT_EQ(output, "Name default\r\nName ScriptScanner\r\nReadAhead False\r\n"
                      "Flush False\r\nGrid 255\r\ndone\r\n");
    // The script's control opened the device in its own process.
    std::optional<dataserver::DeviceState> device = desk_.Device(L"ScriptScanner");
    ASSERT_TRUE(device.has_value());
    EXPECT_EQ(device->mode, READER_MODE_SINGLE);
    EXPECT_EQ(device->grid.symbologyMask, 255);
}

} // namespace
