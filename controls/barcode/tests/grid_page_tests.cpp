// The DD Grid page: one box per symbology bit of DeviceDependentGrid.
#include "barcode_fixture.h"
#include "page_driver.h"
#include "resource.h"

namespace {

using dataserver::Operation;

struct Symbology {
    LONG bit;
    int id;
    const wchar_t* text;
};
const Symbology kSymbologies[] = {
    {0x00001, 204, L"Code 39"},
    {0x00002, 207, L"Code 93"},
    {0x00004, 205, L"Code 49"},
    {0x00008, 210, L"I 2 of  5"},
    {0x00010, 215, L"CODABAR"},
    {0x00020, 214, L"UPC"},
    {0x00040, 208, L"Code 128"},
    {0x00080, 209, L"Code 16K"},
    {0x00100, 211, L"Plessey"},
    {0x00200, 206, L"Code 11"},
    {0x00400, 212, L"MSI"},
    {0x00800, 213, L"PDF 417"},
    {0x01000, 217, L"D 2 of 5"},
    {0x02000, 218, L"Telepen"},
    {0x10000, 222, L"Non-standard AIM Symbology"},
};
constexpr LONG kEveryBox = 0x13FFF;

class GridPage : public BarcodeTest {
protected:
    void ShowFor(PageDriver& page, IHVTAXBarCode* control) {
        ASSERT_EQ(page.Select({control}), S_OK);
        ASSERT_EQ(page.Activate(), S_OK);
        ASSERT_EQ(page.Show(), S_OK);
    }
    static LONG Mask(IHVTAXBarCode* control) {
        LONG mask = 0;
        EXPECT_EQ(control->get_DeviceDependentGrid(&mask), S_OK);
        return mask;
    }
    static LONG Boxes(const PageDriver& page) {
        LONG mask = 0;
        for (const Symbology& s : kSymbologies) {
            if (page.Checked(s.id)) {
                mask |= s.bit;
            }
        }
        return mask;
    }
};

TEST_F(GridPage, TheDefaultMaskChecksAllFifteenBoxesAndApplyingClearsTheBitsWithoutOne) {
    auto control = NewControl();
    ASSERT_EQ(Mask(control.get()), -1);
    PageDriver page(CLSID_BarCodeGridPropPage);
    ShowFor(page, control.get());
    for (const Symbology& s : kSymbologies) {
        EXPECT_TRUE(page.Checked(s.id)) << s.id;
    }
    ASSERT_EQ(page.Apply(), S_OK);
    EXPECT_EQ(Mask(control.get()), kEveryBox);
}

TEST_F(GridPage, EachBoxStandsForItsOwnBit) {
    auto control = NewControl();
    ASSERT_EQ(control->put_DeviceDependentGrid(0), S_OK);
    PageDriver page(CLSID_BarCodeGridPropPage);
    ShowFor(page, control.get());
    EXPECT_EQ(Boxes(page), 0);
    for (const Symbology& s : kSymbologies) {
        page.Click(s.id);
        ASSERT_EQ(page.Apply(), S_OK);
        EXPECT_EQ(Mask(control.get()), s.bit) << "box " << s.id;
        page.Click(s.id);
    }
    ASSERT_EQ(page.Apply(), S_OK);
    EXPECT_EQ(Mask(control.get()), 0) << "no box checked writes 0";

    // Showing checks exactly the boxes of the bits set, whatever else is set.
    for (const Symbology& s : kSymbologies) {
        ASSERT_EQ(control->put_DeviceDependentGrid(s.bit | 0x4000 | 0x8000 | 0x20000), S_OK);
        ASSERT_EQ(page.Show(), S_OK);
        EXPECT_EQ(Boxes(page), s.bit) << "box " << s.id;
    }
}

TEST_F(GridPage, AnApplySendsTheMaskToTheOpenReader) {
    auto control = NewControl();
    Open(control);
    PageDriver page(CLSID_BarCodeGridPropPage);
    ShowFor(page, control.get());
    page.Click(IDC_CODE39);
    page.Click(IDC_UPC);
    ASSERT_EQ(page.Apply(), S_OK);
    EXPECT_EQ(Device().grid.symbologyMask, kEveryBox & ~0x21);
    EXPECT_EQ(Mask(control.get()), kEveryBox & ~0x21) << "read back from the reader";
}

TEST_F(GridPage, WithTwoControlsTheLastOnesMaskRemainsAndApplyWritesBoth) {
    auto first = NewControl();
    auto second = NewControl();
    ASSERT_EQ(first->put_DeviceDependentGrid(0x0001), S_OK);
    ASSERT_EQ(second->put_DeviceDependentGrid(0x0202), S_OK);
    PageDriver page(CLSID_BarCodeGridPropPage);
    ASSERT_EQ(page.Select({first.get(), second.get()}), S_OK);
    ASSERT_EQ(page.Activate(), S_OK);
    ASSERT_EQ(page.Show(), S_OK);
    EXPECT_EQ(Boxes(page), 0x0202);
    page.Click(IDC_TELEPEN);
    ASSERT_EQ(page.Apply(), S_OK);
    EXPECT_EQ(Mask(first.get()), 0x2202);
    EXPECT_EQ(Mask(second.get()), 0x2202);
}

TEST_F(GridPage, FailuresStopAtTheFirstObjectThatFails) {
    auto first = NewControl();
    auto second = NewControl();
    Open(second);
    auto stranger = PageSite::Create();
    PageDriver page(CLSID_BarCodeGridPropPage);
    ASSERT_EQ(page.Activate(), S_OK);
    const LONG held = Device().grid.symbologyMask;

    ASSERT_EQ(page.Select({first.get(), stranger.get(), second.get()}), S_OK);
    EXPECT_EQ(page.Show(), E_FAIL);
    EXPECT_EQ(Boxes(page), kEveryBox) << "the first control's mask was loaded";
    page.Click(IDC_MSI);
    EXPECT_EQ(page.Apply(), E_FAIL);
    EXPECT_EQ(Mask(first.get()), kEveryBox & ~0x400);
    EXPECT_EQ(Device().grid.symbologyMask, held) << "nothing reached the reader";

    ASSERT_EQ(page.Select({first.get(), second.get()}), S_OK);
    Fail(Operation::SetAttribute, E_ACCESSDENIED, READER_ATTRIBUTE_GRID);
    page.Click(IDC_PDF417);
    EXPECT_EQ(page.Apply(), E_FAIL);
    EXPECT_EQ(Mask(first.get()), kEveryBox & ~0xC00);
    EXPECT_EQ(Device().grid.symbologyMask, held);
    ASSERT_EQ(page.Select({first.get(), second.get()}), S_OK);
    Fail(Operation::GetAttribute, E_ACCESSDENIED, READER_ATTRIBUTE_GRID);
    EXPECT_EQ(page.Show(), E_FAIL);
}

} // namespace
