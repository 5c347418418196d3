// A script creates the grid by its ProgID and sets its properties.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "grid_fixture.h"
#include "testsupport/script_host.h"

namespace {

using Script = GridTest;

TEST_F(Script, CreatesTheGridByProgIdAndSetsItsProperties) {
    const std::string output = testsupport::RunVbScript(
        "Set grid = CreateObject(\"Listora.Listora\")\r\n"
        "WScript.Echo \"Font \" & grid.ItemFontName & \" \" & grid.ItemFontSize\r\n"
        "grid.ItemFontName = \"Courier New\"\r\n"
        "grid.HeaderFontBold = True\r\n"
        "grid.ShowCheckboxes = True\r\n"
        "grid.ContextMenu = True\r\n"
        "grid.ItemForeColor = 255\r\n"
        "WScript.Echo \"Font \" & grid.ItemFontName & \" \" & grid.HeaderFontBold\r\n"
        "WScript.Echo \"Checks \" & grid.ShowCheckboxes & \" \" & grid.ContextMenu\r\n"
        "WScript.Echo \"Fore \" & grid.ItemForeColor\r\n"
        "WScript.Echo \"Sort \" & grid.SortArrowColumn\r\n"
        "On Error Resume Next\r\n"
        "grid.RowCount = 100\r\n"
        "WScript.Echo \"RowCount put \" & Err.Number\r\n"
        "Err.Clear\r\n"
        "n = grid.RowCount\r\n"
        "WScript.Echo \"RowCount get \" & Err.Number\r\n"
        "On Error Goto 0\r\n"
        "grid.Refresh\r\n"
        "WScript.Echo \"done\"\r\n");
    EXPECT_EQ(output, "Font Tahoma 8\r\n"
                      "Font Courier New True\r\n"
                      "Checks True True\r\n"
                      "Fore 255\r\n"
                      "Sort 0\r\n"
                      "RowCount put 383\r\n"
                      "RowCount get 394\r\n"
                      "done\r\n");
}

} // namespace
