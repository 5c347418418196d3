// A script selects the keyboard panel and changes it, as the application does.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "sip_fixture.h"
#include "testsupport/script_host.h"

namespace {

using Script = KeyboardTest;

TEST_F(Script, SelectsTheKeyboardPanelAndChangesItsStyle) {
    const std::string output = testsupport::RunVbScript(
        "Set sip = CreateObject(\"SipVorpel.SipVorp\")\r\n"
        "WScript.Echo \"available \" & sip.SipAvailable\r\n"
        "sip.SelectKeyboardVorp\r\n"
        "WScript.Echo \"current \" & sip.SipName(sip.CurrentSip)\r\n"
        "Set keyboard = sip.KeyboardVorp\r\n"
        "keyboard.Style = 3\r\n"
        "WScript.Echo \"style \" & keyboard.Style & \" rows \" & keyboard.Rows\r\n"
        "sip.Show = True\r\n"
        "WScript.Echo \"shown \" & sip.Show\r\n"
        "keyboard.SetKey 3, \"Ok\", \"ok\", 1\r\n"
        "sip.Show = False\r\n"
        "WScript.Echo \"shown \" & sip.Show\r\n"
        "On Error Resume Next\r\n"
        "keyboard.SetKey 16, \"No\", \"no\", 1\r\n"
        "WScript.Echo \"refused \" & Err.Number\r\n"
        "WScript.Echo \"done\"\r\n");
    EXPECT_EQ(output, "available -1\r\ncurrent KeyboardVorp\r\nstyle 3 rows 3\r\nshown -1\r\n"
                      "shown 0\r\nrefused 5\r\ndone\r\n");
    // The panel in the script's process saved its keys when it was hidden.
    EXPECT_EQ(ConfigDword(L"KeyStyle"), 4u);
    EXPECT_EQ(ConfigString(L"keydisp3"), L"Ok");
    EXPECT_EQ(ConfigString(L"keydisp4"), L"0");
    EXPECT_EQ(ConfigString(L"keydisp5"), L"/") << "saved from the calculator layout";
}

} // namespace
