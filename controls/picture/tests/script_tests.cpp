// The application script's road: both objects created by ProgID and driven
// through their dispatch interfaces by the terminal's script host.
#include "picture_fixture.h"
#include "testsupport/script_host.h"

namespace {

// Script text is ANSI; the build's paths are plain ASCII.
std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

class PictureScript : public ::testing::Test {
protected:
    void SetUp() override {
        common::ComApartment apartment;
        ASSERT_EQ(RegisterPictureServer(), S_OK);
    }
    void TearDown() override {
        ::DeleteFileW(saved_.c_str());
        ::DeleteFileW(savedBmp_.c_str());
    }
    const std::wstring saved_ = ScratchPath(L"script.jpg");
    const std::wstring savedBmp_ = ScratchPath(L"script.bmp");
};

TEST_F(PictureScript, LoadsRotatesAndSavesAPicture) {
    const std::string output = testsupport::RunVbScript(
        "Set pic = CreateObject(\"OleVorpel.PictureVorp\")\r\n"
        "pic.LoadFile \"" +
        Narrow(SamplePath(L"sample.jpg")) +
        "\"\r\n"
        "WScript.Echo \"loaded \" & pic.Width & \"x\" & pic.Height & \" type \" & pic.Type\r\n"
        "Set turned = pic.Rotate(0, 0, 90, 0)\r\n"
        "WScript.Echo \"turned \" & turned.Width & \"x\" & turned.Height & \" from \" & "
        "pic.Width & \"x\" & pic.Height\r\n"
        "pic.SaveFile \"" +
        Narrow(saved_) +
        "\", 4\r\n"
        "turned.SaveFile \"" +
        Narrow(savedBmp_) +
        "\"\r\n"
        "Set again = CreateObject(\"OleVorpel.PictureVorp\")\r\n"
        "again.LoadFile \"" +
        Narrow(saved_) +
        "\"\r\n"
        "WScript.Echo \"saved \" & again.Width & \"x\" & again.Height\r\n"
        "On Error Resume Next\r\n"
        "again.LoadFile \"" +
        Narrow(ScratchPath(L"script-missing.jpg")) +
        "\"\r\n"
        "WScript.Echo \"missing \" & Hex(Err.Number) & \" \" & Err.Description & \" handle \" & "
        "again.Handle\r\n"
        "WScript.Echo \"done\"\r\n");
    EXPECT_EQ(output, "loaded 37x23 type 1\r\n"
                      "turned 23x37 from 37x23\r\n"
                      "saved 37x23\r\n"
                      "missing 80020009 Unable to load file handle 0\r\n"
                      "done\r\n");
    // The rotated picture went out as a BMP (the default type) of its size.
    const std::string bmp = testsupport::ReadFileBytes(savedBmp_);
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<BYTE>(bmp[18]), 23);
    EXPECT_EQ(static_cast<BYTE>(bmp[22]), 37);
}

// The font's flags are long booleans: a script sees -1 and 0.
TEST_F(PictureScript, SetsAFontsNameSizeAndBoldness) {
    const std::string output = testsupport::RunVbScript(
        "Set font = CreateObject(\"OleVorpel.FontVorp\")\r\n"
        "WScript.Echo \"new \" & font.Name & \" bold \" & font.Bold & \" weight \" & "
        "font.Weight\r\n"
        "before = font.hFont\r\n"
        "font.Name = \"Courier New\"\r\n"
        "font.Size = 12\r\n"
        "font.Bold = True\r\n"
        "WScript.Echo font.Name & \" \" & font.Size & \" bold \" & font.Bold & \" weight \" & "
        "font.Weight\r\n"
        "WScript.Echo \"new handle \" & (font.hFont <> 0 And font.hFont <> before)\r\n"
        "font.Bold = 0\r\n"
        "WScript.Echo \"plain weight \" & font.Weight\r\n"
        "WScript.Echo \"done\"\r\n");
    EXPECT_EQ(output, "new Tahoma bold 0 weight 400\r\n"
                      "Courier New 12 bold -1 weight 700\r\n"
                      "new handle True\r\n"
                      "plain weight 400\r\n"
                      "done\r\n");
}

} // namespace
