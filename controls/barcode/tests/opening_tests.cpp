// When and how the control opens its reader device.
#include <algorithm>

#include "barcode_events.h"
#include "barcode_fixture.h"

namespace {

using dataserver::Operation;

bool Contains(const std::vector<DWORD>& codes, DWORD code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

std::wstring ErrorDescription() {
    common::ComPtr<IErrorInfo> info;
    if (::GetErrorInfo(0, info.put()) != S_OK || !info) {
        return L"<none>";
    }
    common::UniqueBstr text;
    info->GetDescription(text.put());
    return std::wstring(text.view());
}

using Opening = BarcodeTest;

TEST_F(Opening, NothingOpensUntilBothDeviceNameAndReadAheadAreAssigned) {
    auto control = NewControl();
    EXPECT_EQ(control->Initialize(), S_OK);
    EXPECT_EQ(control->PostRead(10, 100), S_OK);
    common::UniqueBstr name(device_);
    ASSERT_EQ(control->put_DeviceName(name.get()), S_OK);
    EXPECT_EQ(control->Initialize(), S_OK);
    EXPECT_FALSE(Opened()) << "DeviceName alone";
    EXPECT_EQ(control->put_AutoBeep(VARIANT_FALSE), S_OK);
    EXPECT_FALSE(Opened());

    ASSERT_EQ(control->put_ReadAhead(VARIANT_TRUE), S_OK);
    ASSERT_TRUE(Opened()) << "the second of the two opens";
    EXPECT_EQ(Device().opens, 1);
    EXPECT_EQ(Device().mode, READER_MODE_READ_AHEAD);
    // Once open, neither assignment opens again.
    EXPECT_EQ(control->put_ReadAhead(VARIANT_FALSE), S_OK);
    EXPECT_EQ(control->Initialize(), S_OK);
    EXPECT_EQ(Device().opens, 1);

    const std::vector<DWORD> codes = LoggedCodes();
    EXPECT_TRUE(Contains(codes, hvt::barcode::OpenAttempted));
    EXPECT_TRUE(Contains(codes, hvt::barcode::InitializeDone));
}

TEST_F(Opening, ReadAheadOffOpensInModeOneAndForcesFlushOff) {
    auto control = NewControl();
    Open(control, VARIANT_FALSE);
    EXPECT_EQ(Device().mode, READER_MODE_SINGLE);
    VARIANT_BOOL flush = VARIANT_TRUE;
    EXPECT_EQ(control->get_FlushDataOnGridChange(&flush), S_OK);
    EXPECT_EQ(flush, VARIANT_FALSE);

    Scan("queued");
    LONG total = -1;
    SHORT messages = -1;
    LONG next = -1;
    EXPECT_EQ(control->QueryData(&total, &messages, &next), S_OK);
    EXPECT_EQ(total, 0);
    EXPECT_EQ(messages, 0);
    EXPECT_EQ(next, 0);
}

TEST_F(Opening, TheDefaultDeviceOpensInModeTwoWhateverReadAheadSays) {
    auto control = NewControl();
    Open(control, VARIANT_FALSE, L"default");
    EXPECT_EQ(Device(L"default").mode, READER_MODE_READ_AHEAD);
    VARIANT_BOOL flush = VARIANT_TRUE;
    control->get_FlushDataOnGridChange(&flush);
    EXPECT_EQ(flush, VARIANT_FALSE) << "ReadAhead FALSE still turns the flush off";
}

TEST_F(Opening, ANewControlNamesTheDefaultDevice) {
    auto control = NewControl();
    common::UniqueBstr name;
    ASSERT_EQ(control->get_DeviceName(name.put()), S_OK);
    EXPECT_EQ(name.view(), L"default");
    ASSERT_EQ(control->put_ReadAhead(VARIANT_TRUE), S_OK);
    EXPECT_FALSE(Opened(L"default")) << "DeviceName was never assigned";
}

TEST_F(Opening, AFailedOpenReportsAndTheNextAssignmentTriesAgain) {
    Fail(Operation::Open, static_cast<HRESULT>(0xC1040033));
    auto control = NewControl();
    common::UniqueBstr name(device_);
    ASSERT_EQ(control->put_ReadAhead(VARIANT_TRUE), S_OK);
    EXPECT_EQ(control->put_DeviceName(name.get()), static_cast<HRESULT>(0xC1040033));
    EXPECT_EQ(ErrorDescription(), L"Error setting device name");
    EXPECT_FALSE(Opened());

    // Initialize keeps the opening's own error information.
    Fail(Operation::Open, static_cast<HRESULT>(0xC1040034));
    EXPECT_EQ(control->Initialize(), S_OK);
    EXPECT_EQ(ErrorDescription(), L"Error initializing device");

    EXPECT_EQ(control->put_FlushDataOnGridChange(VARIANT_TRUE), S_OK);
    EXPECT_TRUE(Opened());

    const std::vector<HVTEventRecord> events = LoggedEvents();
    auto failed = std::find_if(events.begin(), events.end(), [](const HVTEventRecord& r) {
        return r.code == hvt::barcode::ReaderOpenFailed;
    });
    ASSERT_NE(failed, events.end());
    EXPECT_EQ(failed->parameter1, 0xC1040033u);
}

TEST_F(Opening, ANewDeviceNameWhileOpenIsKeptForTheNextOpening) {
    auto control = NewControl();
    Open(control);
    common::UniqueBstr other(L"OtherDevice");
    ASSERT_EQ(control->put_DeviceName(other.get()), S_OK);
    common::UniqueBstr name;
    ASSERT_EQ(control->get_DeviceName(name.put()), S_OK);
    EXPECT_EQ(name.view(), L"OtherDevice");
    EXPECT_FALSE(Opened(L"OtherDevice"));
    EXPECT_EQ(Device().opens, 1);

    // Unload forgets the names; the next opening needs a name again.
    ASSERT_EQ(control->Unload(), S_OK);
    ASSERT_EQ(control->get_DeviceName(name.put()), S_OK);
    EXPECT_EQ(name.view(), L"");
    ASSERT_EQ(control->put_DeviceName(other.get()), S_OK);
    EXPECT_TRUE(Opened(L"OtherDevice"));
}

} // namespace
