// Saving and loading the control's properties, and what loading does to the
// device.
#include "barcode_fixture.h"
#include "testsupport/ole_stores.h"

namespace {

using Persistence = BarcodeTest;

common::UniqueVariant Bool(bool value) {
    common::UniqueVariant v;
    v->vt = VT_BOOL;
    v->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

common::UniqueVariant Text(const std::wstring& text) {
    common::UniqueVariant v;
    v->vt = VT_BSTR;
    v->bstrVal = ::SysAllocString(text.c_str());
    return v;
}

common::UniqueVariant Long(LONG value) {
    common::UniqueVariant v;
    v->vt = VT_I4;
    v->lVal = value;
    return v;
}

TEST_F(Persistence, ABagHoldsTheItemsInTheirOrderUnderTheirOwnNames) {
    auto control = NewControl();
    auto bag = testsupport::PropertyBag::Create();
    auto persist = control.as<IPersistPropertyBag>();
    ASSERT_TRUE(persist);
    ASSERT_EQ(persist->Save(bag.get(), TRUE, TRUE), S_OK);
    const std::vector<std::wstring> expected = {
        L"_cx",
        L"_cy",
        L"DeviceName",
        L"ReadAhead",
        L"DeviceIndependentGrid",
        L"FlushDataOnGridChange",
        L"ConvertDataToUnicode",
        L"TriggerEnable",
        L"AutoGoodReadLED",
        L"AutoDataValidLED",
        L"AutoBeep",
        L"DeviceDependentGrid",
    };
    EXPECT_EQ(bag->Names(), expected);
    EXPECT_EQ(std::wstring(bag->Find(L"DeviceName")->bstrVal), L"default");
    EXPECT_EQ(std::wstring(bag->Find(L"DeviceIndependentGrid")->bstrVal), L"%s");
    EXPECT_EQ(bag->Find(L"TriggerEnable")->boolVal, VARIANT_TRUE);
    EXPECT_EQ(bag->Find(L"DeviceDependentGrid")->lVal, -1);
}

TEST_F(Persistence, LoadingOpensTheDeviceAtReadAheadAndSendsTheLaterItemsToIt) {
    auto bag = testsupport::PropertyBag::Create();
    bag->Set(L"DeviceName", *Text(device_).get());
    bag->Set(L"ReadAhead", *Bool(false).get());
    bag->Set(L"DeviceIndependentGrid", *Text(L"Shelf labels").get());
    bag->Set(L"FlushDataOnGridChange", *Bool(true).get());
    bag->Set(L"TriggerEnable", *Bool(false).get());
    bag->Set(L"AutoBeep", *Bool(false).get());
    bag->Set(L"DeviceDependentGrid", *Long(0x0000FF01).get());

    auto control = NewControl();
    ASSERT_EQ(control.as<IPersistPropertyBag>()->Load(bag.get(), nullptr), S_OK);
    ASSERT_TRUE(Opened());
    const dataserver::DeviceState device = Device();
    EXPECT_EQ(device.mode, READER_MODE_SINGLE);
    EXPECT_EQ(device.trigger, 0);
    EXPECT_EQ(device.autoBeep, 0);
    EXPECT_EQ(std::wstring(device.grid.name), L"Shelf labels");
    EXPECT_EQ(device.grid.nameLength, 13);
    EXPECT_EQ(device.grid.symbologyMask, 0x0000FF01);
    // Loaded after the opening forced it off: the saved value stands.
    VARIANT_BOOL flush = VARIANT_FALSE;
    control->get_FlushDataOnGridChange(&flush);
    EXPECT_EQ(flush, VARIANT_TRUE);
}

TEST_F(Persistence, AStreamRoundTripKeepsEveryProperty) {
    auto first = NewControl();
    common::UniqueBstr grid(L"Pallets");
    ASSERT_EQ(first->put_DeviceIndependentGrid(grid.get()), S_OK);
    ASSERT_EQ(first->put_DeviceDependentGrid(0x1234), S_OK);
    ASSERT_EQ(first->put_ConvertDataToUnicode(VARIANT_FALSE), S_OK);
    auto persist = first.as<IPersistStreamInit>();
    EXPECT_EQ(persist->IsDirty(), S_OK) << "a put marks the control modified";
    auto stream = testsupport::MemoryStream();
    ASSERT_EQ(persist->Save(stream.get(), TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);

    testsupport::Rewind(stream.get());
    auto second = NewControl();
    ASSERT_EQ(second.as<IPersistStreamInit>()->Load(stream.get()), S_OK);
    common::UniqueBstr loaded;
    ASSERT_EQ(second->get_DeviceIndependentGrid(loaded.put()), S_OK);
    EXPECT_EQ(loaded.view(), L"Pallets");
    LONG mask = 0;
    ASSERT_EQ(second->get_DeviceDependentGrid(&mask), S_OK);
    EXPECT_EQ(mask, 0x1234);
    VARIANT_BOOL convert = VARIANT_TRUE;
    ASSERT_EQ(second->get_ConvertDataToUnicode(&convert), S_OK);
    EXPECT_EQ(convert, VARIANT_FALSE);
    // The saved name and ReadAhead count as assigned: loading opens the device.
    EXPECT_TRUE(Opened(L"default"));
}

} // namespace
