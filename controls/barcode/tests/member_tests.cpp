// The members that reach the open device, their statuses and their log codes.
#include <algorithm>
#include <array>
#include <functional>

#include "barcode_events.h"
#include "barcode_fixture.h"
#include "common/handle.h"
#include "testsupport/ole_stores.h"

namespace {

using dataserver::Operation;

class Members : public BarcodeTest {
protected:
    void SetUp() override {
        BarcodeTest::SetUp();
        control_ = NewControl();
        Open(control_);
    }
    void TearDown() override {
        control_.reset();
        BarcodeTest::TearDown();
    }
    long Count(DWORD code) {
        const std::vector<DWORD> codes = LoggedCodes();
        return static_cast<long>(std::count(codes.begin(), codes.end(), code));
    }
    common::ComPtr<IHVTAXBarCode> control_;
};

// What one call of a member leaves in the event log, on a control that is
// open with every BOOL at TRUE and no read posted.
struct LoggedCall {
    const char* member;
    std::function<HRESULT(IHVTAXBarCode*)> call;
    std::vector<std::array<DWORD, 3>> entries; // code, first value, second value
};

TEST_F(Members, EachMemberLogsItsCodeWithItsValues) {
    constexpr DWORD kTrue = 0xFFFFFFFF; // the BOOL sign-extended
    const LoggedCall calls[] = {
        {"DeviceName get",
         [](IHVTAXBarCode* c) {
             common::UniqueBstr v;
             return c->get_DeviceName(v.put());
         },
         {{0x4199000E, 0, 0}}},
        {"ReadAhead get",
         [](IHVTAXBarCode* c) {
             VARIANT_BOOL v;
             return c->get_ReadAhead(&v);
         },
         {{0x41990010, kTrue, 0}}},
        {"ReadAhead put",
         [](IHVTAXBarCode* c) { return c->put_ReadAhead(VARIANT_TRUE); },
         {{0x41990011, kTrue, 0}}},
        {"AutoGoodReadLED get",
         [](IHVTAXBarCode* c) {
             VARIANT_BOOL v;
             return c->get_AutoGoodReadLED(&v);
         },
         {{0x41990009, kTrue, 1}}},
        {"AutoGoodReadLED put",
         [](IHVTAXBarCode* c) { return c->put_AutoGoodReadLED(VARIANT_FALSE); },
         {{0x41990017, 0, 1}}},
        {"AutoDataValidLED get",
         [](IHVTAXBarCode* c) {
             VARIANT_BOOL v;
             return c->get_AutoDataValidLED(&v);
         },
         {{0x41990008, kTrue, 1}}},
        {"AutoDataValidLED put",
         [](IHVTAXBarCode* c) { return c->put_AutoDataValidLED(VARIANT_FALSE); },
         {{0x41990016, 0, 1}}},
        {"AutoBeep get",
         [](IHVTAXBarCode* c) {
             VARIANT_BOOL v;
             return c->get_AutoBeep(&v);
         },
         {{0x41990006, kTrue, 1}}},
        {"AutoBeep put",
         [](IHVTAXBarCode* c) { return c->put_AutoBeep(VARIANT_FALSE); },
         {{0x41990007, 0, 1}}},
        {"ConvertDataToUnicode get",
         [](IHVTAXBarCode* c) {
             VARIANT_BOOL v;
             return c->get_ConvertDataToUnicode(&v);
         },
         {{0x4199000A, kTrue, 0}}},
        {"ConvertDataToUnicode put",
         [](IHVTAXBarCode* c) { return c->put_ConvertDataToUnicode(VARIANT_FALSE); },
         {{0x4199000B, 0, 0}}},
        {"FlushDataOnGridChange get",
         [](IHVTAXBarCode* c) {
             VARIANT_BOOL v;
             return c->get_FlushDataOnGridChange(&v);
         },
         {{0x4199000F, 0, 0}}},
        {"FlushDataOnGridChange put",
         [](IHVTAXBarCode* c) { return c->put_FlushDataOnGridChange(VARIANT_FALSE); },
         {{0x4199001B, kTrue, 0}}}, // the value it had
        {"TriggerEnable get",
         [](IHVTAXBarCode* c) {
             VARIANT_BOOL v;
             return c->get_TriggerEnable(&v);
         },
         {{0x41990012, 1, 0}}},
        {"TriggerEnable put",
         [](IHVTAXBarCode* c) { return c->put_TriggerEnable(VARIANT_FALSE); },
         {{0x41990013, 0, 1}}},
        {"DeviceDependentGrid get",
         [](IHVTAXBarCode* c) {
             LONG v;
             return c->get_DeviceDependentGrid(&v);
         },
         {{0x4199000C, 1, 0}}},
        {"DeviceDependentGrid put",
         [](IHVTAXBarCode* c) { return c->put_DeviceDependentGrid(0x55); },
         {{0x41990018, 0x55, 1}}},
        {"DeviceIndependentGrid get",
         [](IHVTAXBarCode* c) {
             common::UniqueBstr v;
             return c->get_DeviceIndependentGrid(v.put());
         },
         {{0x4199000D, 1, 0}}},
        {"DeviceIndependentGrid put",
         [](IHVTAXBarCode* c) {
             common::UniqueBstr v(L"Aisle");
             return c->put_DeviceIndependentGrid(v.get());
         },
         {{0x41990019, 1, 0}}},
        {"ControlScanner",
         [](IHVTAXBarCode* c) { return c->ControlScanner(VARIANT_TRUE); },
         {{0x41990005, kTrue, 1}}},
        {"ControlLaserPower",
         [](IHVTAXBarCode* c) { return c->ControlLaserPower(VARIANT_FALSE); },
         {{0x41990004, 0, 1}}},
        {"ControlGoodReadLED",
         [](IHVTAXBarCode* c) { return c->ControlGoodReadLED(VARIANT_TRUE); },
         {{0x41990003, kTrue, 1}}},
        {"ControlDataValidLED",
         [](IHVTAXBarCode* c) { return c->ControlDataValidLED(VARIANT_FALSE); },
         {{0x41990002, 0, 1}}},
        {"IssueBeeps",
         [](IHVTAXBarCode* c) { return c->IssueBeeps(1, 2, 3, 4); },
         {{0x41990014, 1, 0}}},
        {"Initialize",
         [](IHVTAXBarCode* c) { return c->Initialize(); },
         {{0x41990000, 1, 0x3FF}, {0x01990000, 0, 0}}},
        {"QueryData",
         [](IHVTAXBarCode* c) {
             LONG t;
             SHORT n;
             LONG s;
             return c->QueryData(&t, &n, &s);
         },
         {}},
        // Last: the device name changes only what a later opening uses.
        {"DeviceName put",
         [](IHVTAXBarCode* c) {
             common::UniqueBstr v(L"Later");
             return c->put_DeviceName(v.get());
         },
         {{0x4199001A, 0, 0}}},
    };
    // Every property assigned once, so that Initialize shows the whole set-mask.
    ASSERT_EQ(control_->put_ConvertDataToUnicode(VARIANT_TRUE), S_OK);
    ASSERT_EQ(control_->put_TriggerEnable(VARIANT_TRUE), S_OK);
    ASSERT_EQ(control_->put_AutoBeep(VARIANT_TRUE), S_OK);
    ASSERT_EQ(control_->put_AutoDataValidLED(VARIANT_TRUE), S_OK);
    ASSERT_EQ(control_->put_AutoGoodReadLED(VARIANT_TRUE), S_OK);
    ASSERT_EQ(control_->put_FlushDataOnGridChange(VARIANT_TRUE), S_OK);
    common::UniqueBstr grid(L"%s");
    ASSERT_EQ(control_->put_DeviceIndependentGrid(grid.get()), S_OK);
    ASSERT_EQ(control_->put_DeviceDependentGrid(-1), S_OK);

    for (const LoggedCall& c : calls) {
        const size_t before = LoggedEvents().size();
        EXPECT_EQ(c.call(control_.get()), S_OK) << c.member;
        const std::vector<HVTEventRecord> events = LoggedEvents();
        std::vector<std::array<DWORD, 3>> logged;
        for (size_t i = before; i < events.size(); ++i) {
            logged.push_back({events[i].code, events[i].parameter1, events[i].parameter2});
        }
        EXPECT_EQ(logged, c.entries) << c.member;
    }
}

TEST_F(Members, OnAClosedControlTheMembersLogTheOpenedFlagAsZero) {
    ASSERT_EQ(control_->Unload(), S_OK);
    const size_t before = LoggedEvents().size();
    VARIANT_BOOL value = VARIANT_FALSE;
    ASSERT_EQ(control_->get_AutoGoodReadLED(&value), S_OK);
    ASSERT_EQ(control_->ControlScanner(VARIANT_FALSE), S_OK);
    ASSERT_EQ(control_->put_DeviceDependentGrid(7), S_OK); // no attempt to open
    const std::vector<HVTEventRecord> events = LoggedEvents();
    std::vector<std::array<DWORD, 3>> logged;
    for (size_t i = before; i < events.size(); ++i) {
        logged.push_back({events[i].code, events[i].parameter1, events[i].parameter2});
    }
    const std::vector<std::array<DWORD, 3>> expected = {
        {0x41990009, 0xFFFFFFFF, 0}, {0x41990005, 0, 0}, {0x41990018, 7, 0}};
    EXPECT_EQ(logged, expected);
}

TEST_F(Members, AMaskPutBeforeAnyGridGetSendsAnEmptyName) {
    ASSERT_EQ(control_->put_DeviceDependentGrid(0x00F0), S_OK);
    const GridRecord grid = Device().grid;
    EXPECT_EQ(grid.nameLength, 0);
    EXPECT_EQ(grid.name[0], L'\0');
    EXPECT_EQ(grid.symbologyMask, 0x00F0);
    EXPECT_EQ(grid.further, 1);
}

TEST_F(Members, AGridNameLongerThanTheRecordIsCutAt32Characters) {
    const std::wstring name = L"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-overflow";
    common::UniqueBstr text(name);
    ASSERT_EQ(control_->put_DeviceIndependentGrid(text.get()), S_OK);
    const GridRecord grid = Device().grid;
    EXPECT_EQ(grid.nameLength, 33);
    EXPECT_EQ(std::wstring(grid.name, 32), name.substr(0, 32));
    EXPECT_EQ(grid.name[32], L'\0');
    EXPECT_EQ(grid.symbologyMask, 0) << "the cache's mask, untouched by a name";
    common::UniqueBstr stored;
    ASSERT_EQ(control_->get_DeviceIndependentGrid(stored.put()), S_OK);
    EXPECT_EQ(stored.view(), name) << "the property keeps the whole name";
}

TEST_F(Members, AFailedGridSetLeavesTheCacheAsTheReaderHasIt) {
    common::UniqueBstr shelf(L"Shelf");
    ASSERT_EQ(control_->put_DeviceIndependentGrid(shelf.get()), S_OK);
    ASSERT_EQ(control_->put_DeviceDependentGrid(0x11), S_OK);

    Fail(Operation::SetAttribute, E_ACCESSDENIED, READER_ATTRIBUTE_GRID);
    EXPECT_EQ(control_->put_DeviceDependentGrid(0x22), E_ACCESSDENIED);
    EXPECT_EQ(Count(hvt::barcode::DeviceDependentGridPutFailed), 1);
    Fail(Operation::SetAttribute, E_ACCESSDENIED, READER_ATTRIBUTE_GRID);
    common::UniqueBstr pallet(L"Pallet");
    EXPECT_EQ(control_->put_DeviceIndependentGrid(pallet.get()), E_ACCESSDENIED);

    // The next record carries what the reader held before both failures.
    ASSERT_EQ(control_->put_DeviceDependentGrid(0x11), S_OK);
    const GridRecord grid = Device().grid;
    EXPECT_EQ(std::wstring(grid.name), L"Shelf");
    EXPECT_EQ(grid.nameLength, 6);
}

TEST_F(Members, GridGetsReadTheReaderIntoTheCache) {
    desk_.UpdateDevice(device_, [](dataserver::DeviceState& s) {
        s.grid.nameLength = 4;
        wcscpy(s.grid.name, L"EAN");
        s.grid.symbologyMask = 0x0F0F;
        s.grid.further = 7;
    });
    LONG mask = 0;
    ASSERT_EQ(control_->get_DeviceDependentGrid(&mask), S_OK);
    EXPECT_EQ(mask, 0x0F0F);
    common::UniqueBstr name;
    ASSERT_EQ(control_->get_DeviceIndependentGrid(name.put()), S_OK);
    EXPECT_EQ(name.view(), L"%s") << "the stored name, not the reader's";
    ASSERT_EQ(control_->put_DeviceDependentGrid(0x0001), S_OK);
    EXPECT_EQ(std::wstring(Device().grid.name), L"EAN");
    EXPECT_EQ(Device().grid.further, 7);

    Fail(Operation::GetAttribute, E_FAIL, READER_ATTRIBUTE_GRID);
    ASSERT_EQ(control_->get_DeviceIndependentGrid(name.put()), S_OK);
    EXPECT_EQ(Count(hvt::barcode::DeviceIndependentGridGetFailed), 1);
}

TEST_F(Members, AutomaticsThatTheReaderCannotReportKeepTheStoredValue) {
    ASSERT_EQ(control_->put_AutoBeep(VARIANT_FALSE), S_OK);
    EXPECT_EQ(Device().autoBeep, 0);
    Fail(Operation::GetAttribute, READER_E_ATTRIBUTE_GET, READER_ATTRIBUTE_AUTO_BEEP);
    VARIANT_BOOL value = VARIANT_TRUE;
    EXPECT_EQ(control_->get_AutoBeep(&value), S_OK);
    EXPECT_EQ(value, VARIANT_FALSE);
    EXPECT_EQ(Count(hvt::barcode::AutoBeepGetFailed), 1);

    Fail(Operation::SetAttribute, READER_E_ATTRIBUTE_SET, READER_ATTRIBUTE_AUTO_DATA_VALID_LED);
    EXPECT_EQ(control_->put_AutoDataValidLED(VARIANT_FALSE), S_OK);
    EXPECT_EQ(Count(hvt::barcode::AutoDataValidLEDPutFailed), 1);
    Fail(Operation::SetAttribute, E_ACCESSDENIED, READER_ATTRIBUTE_AUTO_DATA_VALID_LED);
    EXPECT_EQ(control_->put_AutoDataValidLED(VARIANT_FALSE), E_ACCESSDENIED);
    EXPECT_EQ(Count(hvt::barcode::AutoDataValidLEDPutFailed), 3)
        << "a failure that remains is logged once more";
    Fail(Operation::SetAttribute, E_ACCESSDENIED, READER_ATTRIBUTE_AUTO_BEEP);
    EXPECT_EQ(control_->put_AutoBeep(VARIANT_TRUE), E_ACCESSDENIED);
    EXPECT_EQ(Count(hvt::barcode::AutoBeepPutFailed), 1) << "logged once";
}

TEST_F(Members, AttributeGetsAnswerWhatTheReaderHolds) {
    desk_.UpdateDevice(device_, [](dataserver::DeviceState& s) {
        s.autoGoodReadLed = 0;
        s.autoDataValidLed = 0;
        s.trigger = 0;
    });
    VARIANT_BOOL value = VARIANT_TRUE;
    ASSERT_EQ(control_->get_AutoGoodReadLED(&value), S_OK);
    EXPECT_EQ(value, VARIANT_FALSE);
    ASSERT_EQ(control_->get_AutoDataValidLED(&value), S_OK);
    EXPECT_EQ(value, VARIANT_FALSE);
    ASSERT_EQ(control_->get_TriggerEnable(&value), S_OK);
    EXPECT_EQ(value, VARIANT_FALSE);

    // The trigger's value is kept; the LED's is not.
    Fail(Operation::GetAttribute, E_FAIL, -1, -1);
    EXPECT_EQ(control_->get_TriggerEnable(&value), E_FAIL);
    EXPECT_EQ(value, VARIANT_FALSE);
    EXPECT_EQ(control_->get_AutoGoodReadLED(&value), E_FAIL);
    EXPECT_EQ(value, VARIANT_TRUE);
    EXPECT_EQ(Count(hvt::barcode::TriggerEnableGetFailed), 1);
    EXPECT_EQ(Count(hvt::barcode::AutoGoodReadLEDGetFailed), 1);
}

TEST_F(Members, DirectCommandsReachTheDevice) {
    ASSERT_EQ(control_->ControlScanner(VARIANT_FALSE), S_OK);
    ASSERT_EQ(control_->ControlLaserPower(VARIANT_TRUE), S_OK);
    ASSERT_EQ(control_->ControlGoodReadLED(VARIANT_TRUE), S_OK);
    ASSERT_EQ(control_->ControlDataValidLED(VARIANT_FALSE), S_OK);
    ASSERT_EQ(control_->IssueBeeps(3, 2000, 150, -1), S_OK);
    const dataserver::DeviceState device = Device();
    EXPECT_EQ(device.scannerOn, 0);
    EXPECT_EQ(device.laserPower, -1);
    EXPECT_EQ(device.goodReadLed, -1);
    EXPECT_EQ(device.dataValidLed, 0);
    EXPECT_EQ(device.beeps, 1);
    EXPECT_EQ(device.lastBeep.beepType, 3);
    EXPECT_EQ(device.lastBeep.pitch, 2000);
    EXPECT_EQ(device.lastBeep.onDuration, 150);
    EXPECT_EQ(device.lastBeep.offDuration, -1);

    Fail(Operation::IssueBeeps, E_FAIL);
    EXPECT_EQ(control_->IssueBeeps(1, 1, 1, 1), E_FAIL);
    Fail(Operation::ControlLED, E_FAIL);
    EXPECT_EQ(control_->ControlGoodReadLED(VARIANT_TRUE), E_FAIL);
    EXPECT_EQ(Count(hvt::barcode::IssueBeepsFailed), 1);
    EXPECT_EQ(Count(hvt::barcode::ControlGoodReadLEDFailed), 1);
}

TEST_F(Members, QueryDataReportsTheQueuedScans) {
    LONG total = 5;
    SHORT messages = 5;
    LONG next = 5;
    EXPECT_EQ(control_->QueryData(nullptr, &messages, &next), E_POINTER);
    EXPECT_EQ(control_->QueryData(&total, nullptr, &next), E_POINTER);
    EXPECT_EQ(control_->QueryData(&total, &messages, nullptr), E_POINTER);
    EXPECT_EQ(total, 5);
    EXPECT_EQ(messages, 5);
    EXPECT_EQ(next, 5);
    auto persist = control_.as<IPersistStreamInit>();
    ASSERT_TRUE(persist);
    ASSERT_EQ(persist->Save(testsupport::MemoryStream().get(), TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE) << "a refused QueryData changes nothing";

    Scan("12345");
    Scan("abc");
    ASSERT_EQ(control_->QueryData(&total, &messages, &next), S_OK);
    EXPECT_EQ(total, 8);
    EXPECT_EQ(messages, 2);
    EXPECT_EQ(next, 5);
    EXPECT_EQ(persist->IsDirty(), S_OK) << "QueryData marks the control modified";
    Fail(Operation::QueryData, E_FAIL);
    EXPECT_EQ(control_->QueryData(&total, &messages, &next), E_FAIL);
}

TEST_F(Members, MembersOfAClosedControlOnlyStoreTheirValues) {
    ASSERT_EQ(control_->Unload(), S_OK);
    EXPECT_EQ(control_->ControlScanner(VARIANT_FALSE), S_OK);
    EXPECT_EQ(control_->IssueBeeps(1, 1, 1, 1), S_OK);
    EXPECT_EQ(control_->put_DeviceDependentGrid(9), S_OK);
    LONG mask = 0;
    EXPECT_EQ(control_->get_DeviceDependentGrid(&mask), S_OK);
    EXPECT_EQ(mask, 9);
    EXPECT_EQ(Device().scannerOn, -1);
    EXPECT_EQ(Device().beeps, 0);
}

TEST_F(Members, AContainerThatRefusesAnEditKeepsTheOldValue) {
    testsupport::OleContainer container;
    ASSERT_EQ(container.Create(CLSID_HVTAXBarCode), S_OK);
    auto control = container.As<IHVTAXBarCode>();
    container.SetRefuseEdits(true);
    common::UniqueBstr name(L"Refused");
    EXPECT_EQ(control->put_DeviceName(name.get()), S_FALSE);
    EXPECT_EQ(control->put_ReadAhead(VARIANT_FALSE), S_FALSE);
    common::UniqueBstr stored;
    control->get_DeviceName(stored.put());
    EXPECT_EQ(stored.view(), L"default");
    container.SetRefuseEdits(false);
    EXPECT_EQ(control->put_ConvertDataToUnicode(VARIANT_FALSE), S_OK);
    ASSERT_FALSE(container.ChangedProperties().empty());
    EXPECT_EQ(container.ChangedProperties().back(), 10);
}

TEST_F(Members, InADesignerTheControlShowsItsName) {
    auto view = control_.as<IViewObject>();
    ASSERT_TRUE(view);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 200, 40);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT black = {0, 0, 200, 40};
    ::FillRect(dc, &black, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    const RECTL bounds = {0, 0, 200, 40};
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr,
                         nullptr, 0),
              S_OK);
    EXPECT_EQ(::GetPixel(dc, 0, 0), RGB(0, 0, 0)) << "the outline";
    EXPECT_EQ(::GetPixel(dc, 3, 3), RGB(255, 255, 255)) << "the white fill";
    int inked = 0;
    for (int x = 20; x < 180; ++x) {
        inked += ::GetPixel(dc, x, 20) != RGB(255, 255, 255) ? 1 : 0;
    }
    EXPECT_GT(inked, 0) << "the centred text";
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

} // namespace

namespace {

using DispatchMembers = BarcodeTest;

TEST_F(DispatchMembers, QueryDataAnswersByNameThroughReferenceArguments) {
    auto control = NewControl();
    Open(control);
    Scan("12345");
    auto dispatch = control.as<IDispatch>();
    ASSERT_TRUE(dispatch);
    OLECHAR* name = const_cast<OLECHAR*>(L"QueryData");
    DISPID id = 0;
    ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    EXPECT_EQ(id, 18);

    LONG total = -1;
    SHORT messages = -1;
    LONG next = -1;
    VARIANTARG args[3]; // in reverse: plNextMsgSize, psNumMsgs, plTotalBytes
    args[0].vt = VT_BYREF | VT_I4;
    args[0].plVal = &next;
    args[1].vt = VT_BYREF | VT_I2;
    args[1].piVal = &messages;
    args[2].vt = VT_BYREF | VT_I4;
    args[2].plVal = &total;
    DISPPARAMS params = {args, nullptr, 3, 0};
    common::UniqueVariant result;
    ASSERT_EQ(dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                               result.put(), nullptr, nullptr),
              S_OK);
    EXPECT_EQ(total, 5);
    EXPECT_EQ(messages, 1);
    EXPECT_EQ(next, 5);
}

} // namespace
