// The Bar Code page: its six Boolean options shown from the selected
// controls and applied back to them.
#include "barcode_fixture.h"
#include "page_driver.h"
#include "resource.h"

namespace {

using dataserver::Operation;

constexpr VARIANT_BOOL T = VARIANT_TRUE;
constexpr VARIANT_BOOL F = VARIANT_FALSE;

class BarCodePage : public BarcodeTest {
protected:
    // The six options of a control, in the page's order of boxes.
    struct Options {
        VARIANT_BOOL autoGoodReadLED;
        VARIANT_BOOL autoDataValidLED;
        VARIANT_BOOL autoBeep;
        VARIANT_BOOL triggerEnable;
        VARIANT_BOOL convertDataToUnicode;
        VARIANT_BOOL flushDataOnGridChange;
    };
    static void Set(IHVTAXBarCode* control, const Options& o) {
        ASSERT_EQ(control->put_AutoGoodReadLED(o.autoGoodReadLED), S_OK);
        ASSERT_EQ(control->put_AutoDataValidLED(o.autoDataValidLED), S_OK);
        ASSERT_EQ(control->put_AutoBeep(o.autoBeep), S_OK);
        ASSERT_EQ(control->put_TriggerEnable(o.triggerEnable), S_OK);
        ASSERT_EQ(control->put_ConvertDataToUnicode(o.convertDataToUnicode), S_OK);
        ASSERT_EQ(control->put_FlushDataOnGridChange(o.flushDataOnGridChange), S_OK);
    }
    static Options Get(IHVTAXBarCode* control) {
        Options o{};
        EXPECT_EQ(control->get_AutoGoodReadLED(&o.autoGoodReadLED), S_OK);
        EXPECT_EQ(control->get_AutoDataValidLED(&o.autoDataValidLED), S_OK);
        EXPECT_EQ(control->get_AutoBeep(&o.autoBeep), S_OK);
        EXPECT_EQ(control->get_TriggerEnable(&o.triggerEnable), S_OK);
        EXPECT_EQ(control->get_ConvertDataToUnicode(&o.convertDataToUnicode), S_OK);
        EXPECT_EQ(control->get_FlushDataOnGridChange(&o.flushDataOnGridChange), S_OK);
        return o;
    }
    static Options Boxes(const PageDriver& page) {
        auto b = [&page](int id) { return page.Checked(id) ? T : F; };
        return {b(IDC_AUTO_GOOD_READ_LED),
                b(IDC_AUTO_DATA_VALID_LED),
                b(IDC_AUTO_BEEP),
                b(IDC_TRIGGER_ENABLE),
                b(IDC_CONVERT_DATA_TO_UNICODE),
                b(IDC_FLUSH_DATA_ON_GRID_CHANGE)};
    }
    static void ExpectEqual(const Options& actual, const Options& expected) {
        EXPECT_EQ(actual.autoGoodReadLED, expected.autoGoodReadLED) << "AutoGoodReadLED";
        EXPECT_EQ(actual.autoDataValidLED, expected.autoDataValidLED) << "AutoDataValidLED";
        EXPECT_EQ(actual.autoBeep, expected.autoBeep) << "AutoBeep";
        EXPECT_EQ(actual.triggerEnable, expected.triggerEnable) << "TriggerEnable";
        EXPECT_EQ(actual.convertDataToUnicode, expected.convertDataToUnicode)
            << "ConvertDataToUnicode";
        EXPECT_EQ(actual.flushDataOnGridChange, expected.flushDataOnGridChange)
            << "FlushDataOnGridChange";
    }
    bool Visible(const PageDriver& page) {
        return (::GetWindowLongW(page.Window(), GWL_STYLE) & WS_VISIBLE) != 0;
    }
};

TEST_F(BarCodePage, ShowingSetsEveryBoxFromItsOwnProperty) {
    auto control = NewControl();
    // Each option differs from its neighbours, so a box read from the wrong
    // property shows.
    const Options options = {T, F, F, T, F, T};
    Set(control.get(), options);
    PageDriver page(CLSID_BarCodePropPage);
    ASSERT_EQ(page.Select({control.get()}), S_OK);
    ASSERT_EQ(page.Activate(), S_OK);
    ASSERT_EQ(page.Show(), S_OK);
    EXPECT_TRUE(Visible(page));
    EXPECT_TRUE(page.Enabled(IDC_FLUSH_DATA_ON_GRID_CHANGE));
    ExpectEqual(Boxes(page), options);

    const Options other = {F, T, T, F, T, F};
    Set(control.get(), other);
    ASSERT_EQ(page.Show(), S_OK);
    ExpectEqual(Boxes(page), other);
}

TEST_F(BarCodePage, ClickedBoxesAreAppliedToTheControl) {
    auto control = NewControl();
    PageDriver page(CLSID_BarCodePropPage);
    ASSERT_EQ(page.Select({control.get()}), S_OK);
    ASSERT_EQ(page.Activate(), S_OK);
    ASSERT_EQ(page.Show(), S_OK);
    ExpectEqual(Boxes(page), {T, T, T, T, T, T});

    page.Click(IDC_AUTO_DATA_VALID_LED);
    page.Click(IDC_TRIGGER_ENABLE);
    page.Click(IDC_FLUSH_DATA_ON_GRID_CHANGE);
    {
        SCOPED_TRACE("a click changes only the box");
        ExpectEqual(Get(control.get()), {T, T, T, T, T, T});
    }
    ASSERT_EQ(page.Apply(), S_OK);
    ExpectEqual(Get(control.get()), {T, F, T, F, T, F});

    page.Click(IDC_AUTO_GOOD_READ_LED);
    page.Click(IDC_AUTO_BEEP);
    page.Click(IDC_CONVERT_DATA_TO_UNICODE);
    page.Click(IDC_TRIGGER_ENABLE);
    ASSERT_EQ(page.Apply(), S_OK);
    ExpectEqual(Get(control.get()), {F, F, F, T, F, F});
}

TEST_F(BarCodePage, AnApplyReachesTheOpenReaderAtOnce) {
    auto control = NewControl();
    Open(control);
    PageDriver page(CLSID_BarCodePropPage);
    ASSERT_EQ(page.Select({control.get()}), S_OK);
    ASSERT_EQ(page.Activate(), S_OK);
    ASSERT_EQ(page.Show(), S_OK);
    page.Click(IDC_AUTO_GOOD_READ_LED);
    page.Click(IDC_AUTO_DATA_VALID_LED);
    page.Click(IDC_AUTO_BEEP);
    ASSERT_EQ(page.Apply(), S_OK);
    dataserver::DeviceState device = Device();
    EXPECT_EQ(device.autoGoodReadLed, 0);
    EXPECT_EQ(device.autoDataValidLed, 0);
    EXPECT_EQ(device.autoBeep, 0);
    EXPECT_EQ(device.trigger, -1);

    page.Click(IDC_TRIGGER_ENABLE);
    page.Click(IDC_AUTO_BEEP);
    ASSERT_EQ(page.Apply(), S_OK);
    device = Device();
    EXPECT_EQ(device.trigger, 0);
    EXPECT_EQ(device.autoBeep, -1);
}

TEST_F(BarCodePage, WithoutReadAheadFlushIsDisabledAndLeftAsItIs) {
    auto control = NewControl();
    // DeviceName unassigned: the control stays closed, Flush keeps TRUE.
    ASSERT_EQ(control->put_ReadAhead(F), S_OK);
    PageDriver page(CLSID_BarCodePropPage);
    ASSERT_EQ(page.Select({control.get()}), S_OK);
    ASSERT_EQ(page.Activate(), S_OK);
    ASSERT_EQ(page.Show(), S_OK);
    EXPECT_FALSE(page.Enabled(IDC_FLUSH_DATA_ON_GRID_CHANGE));
    EXPECT_FALSE(page.Checked(IDC_FLUSH_DATA_ON_GRID_CHANGE)) << "its state is not loaded";
    ASSERT_EQ(page.Apply(), S_OK);
    VARIANT_BOOL flush = F;
    ASSERT_EQ(control->get_FlushDataOnGridChange(&flush), S_OK);
    EXPECT_EQ(flush, T) << "the unchecked, disabled box is not applied";

    ASSERT_EQ(control->put_ReadAhead(T), S_OK);
    ASSERT_EQ(page.Show(), S_OK);
    EXPECT_TRUE(page.Enabled(IDC_FLUSH_DATA_ON_GRID_CHANGE));
    EXPECT_TRUE(page.Checked(IDC_FLUSH_DATA_ON_GRID_CHANGE));
}

TEST_F(BarCodePage, WithTwoControlsTheLastOnesValuesRemainAndApplyWritesBoth) {
    auto first = NewControl();
    auto second = NewControl();
    Set(first.get(), {T, T, T, T, T, T});
    Set(second.get(), {F, T, F, T, F, F});
    ASSERT_EQ(second->put_ReadAhead(F), S_OK);
    PageDriver page(CLSID_BarCodePropPage);
    ASSERT_EQ(page.Select({first.get(), second.get()}), S_OK);
    ASSERT_EQ(page.Activate(), S_OK);
    ASSERT_EQ(page.Show(), S_OK);
    // Flush came from the first control; the second one disabled it.
    ExpectEqual(Boxes(page), {F, T, F, T, F, T});
    EXPECT_FALSE(page.Enabled(IDC_FLUSH_DATA_ON_GRID_CHANGE));

    page.Click(IDC_AUTO_DATA_VALID_LED);
    ASSERT_EQ(page.Apply(), S_OK);
    ExpectEqual(Get(first.get()), {F, F, F, T, F, T});
    SCOPED_TRACE("the second control's Flush untouched");
    ExpectEqual(Get(second.get()), {F, F, F, T, F, F});
}

TEST_F(BarCodePage, ApplyStopsAtAnObjectThatIsNotABarcodeControl) {
    auto first = NewControl();
    auto last = NewControl();
    auto stranger = PageSite::Create();
    PageDriver page(CLSID_BarCodePropPage);
    ASSERT_EQ(page.Select({first.get()}), S_OK);
    ASSERT_EQ(page.Activate(), S_OK);
    ASSERT_EQ(page.Show(), S_OK);
    page.Click(IDC_AUTO_BEEP);
    ASSERT_EQ(page.Select({first.get(), stranger.get(), last.get()}), S_OK);
    EXPECT_EQ(page.Apply(), E_FAIL);
    VARIANT_BOOL beep = T;
    ASSERT_EQ(first->get_AutoBeep(&beep), S_OK);
    EXPECT_EQ(beep, F) << "the control before it was written";
    ASSERT_EQ(last->get_AutoBeep(&beep), S_OK);
    EXPECT_EQ(beep, T) << "the control after it was not";
    EXPECT_EQ(page.Show(), E_FAIL);
}

TEST_F(BarCodePage, AFailedPutEndsTheApplyWithWhatCameBeforeItWritten) {
    auto control = NewControl();
    Open(control);
    PageDriver page(CLSID_BarCodePropPage);
    ASSERT_EQ(page.Select({control.get()}), S_OK);
    ASSERT_EQ(page.Activate(), S_OK);
    ASSERT_EQ(page.Show(), S_OK);
    page.Click(IDC_FLUSH_DATA_ON_GRID_CHANGE);
    page.Click(IDC_AUTO_BEEP);
    page.Click(IDC_AUTO_GOOD_READ_LED);
    Fail(Operation::SetAttribute, E_ACCESSDENIED, READER_ATTRIBUTE_AUTO_BEEP);
    EXPECT_EQ(page.Apply(), E_FAIL);
    VARIANT_BOOL flush = T;
    ASSERT_EQ(control->get_FlushDataOnGridChange(&flush), S_OK);
    EXPECT_EQ(flush, F) << "written before the failing put";
    EXPECT_EQ(Device().autoGoodReadLed, -1) << "never sent after it";
    EXPECT_EQ(page.Page()->IsPageDirty(), S_OK) << "still to be applied";
}

TEST_F(BarCodePage, AFailedGetEndsTheShowingBeforeTheWindowShows) {
    auto control = NewControl();
    Open(control);
    ASSERT_EQ(control->put_FlushDataOnGridChange(T), S_OK);
    PageDriver page(CLSID_BarCodePropPage);
    ASSERT_EQ(page.Select({control.get()}), S_OK);
    ASSERT_EQ(page.Activate(), S_OK);
    Fail(Operation::GetAttribute, E_ACCESSDENIED, READER_ATTRIBUTE_AUTO_BEEP);
    EXPECT_EQ(page.Show(), E_FAIL);
    EXPECT_FALSE(Visible(page));
    EXPECT_TRUE(page.Checked(IDC_FLUSH_DATA_ON_GRID_CHANGE)) << "loaded before the failure";
    EXPECT_FALSE(page.Checked(IDC_AUTO_GOOD_READ_LED)) << "never loaded";
    EXPECT_EQ(page.Show(), S_OK);
    EXPECT_TRUE(page.Checked(IDC_AUTO_GOOD_READ_LED));
}

} // namespace
