// A script makes an entry with the phonebook control and dials it by name
// with the dial-up control, as the application does.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "ceras.h"
#include "common/com.h"
#include "dial_fixture.h"
#include "testsupport/script_host.h"

namespace {

TEST(Script, MakesAnEntryDialsItByNameAndReadsTheConnectionState) {
    {
        common::ComApartment apartment;
        ASSERT_EQ(RegisterDialvoraServer(), S_OK);
    }
    const std::string output = testsupport::RunVbScript(
        "Set book = CreateObject(\"Entrovia.RASEntries\")\r\n"
        "Set entries = book.Entries\r\n"
        "Set entry = entries.New\r\n"
        "entry.PhoneNumber = \"5550142\"\r\n"
        "entry.DeviceName = \"Hayes Compatible on COM1:\"\r\n"
        "entries.Add \"DvScriptDepot\"\r\n"
        "WScript.Echo \"Phone \" & book.Entry(\"DvScriptDepot\").PhoneNumber\r\n"
        "Set dialer = CreateObject(\"Dialvora.RASDial\")\r\n"
        "WScript.Echo \"Before \" & dialer.ConnectState\r\n"
        "dialer.Dial \"DvScriptDepot\", \"user\", \"secret\", \"\"\r\n"
        "WScript.Echo \"After \" & dialer.ConnectState\r\n"
        "WScript.Echo \"Error [\" & dialer.Error & \"]\"\r\n"
        "dialer.Hangup\r\n"
        "WScript.Echo \"Idle \" & dialer.ConnectState\r\n"
        "entries.Delete \"DvScriptDepot\"\r\n"
        "WScript.Echo \"done\"\r\n");
    EXPECT_EQ(output, "Phone 5550142\r\nBefore 25\r\nAfter 8192\r\nError []\r\nIdle 25\r\n"
                      "done\r\n");
    RasDeleteEntry(nullptr, L"DvScriptDepot");
}

} // namespace
