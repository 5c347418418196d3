#include "barcode_fixture.h"

#include "common/handle.h"
#include "testsupport/server_registration.h"

HRESULT RegisterBarcodeServers() {
    const HRESULT hr = testsupport::RegisterServer(L"HVTBarCodeReaderSim.dll");
    return FAILED(hr) ? hr : testsupport::RegisterServer(L"HVTAXBarCodeReader.dll");
}

void BarcodeTest::SetUp() {
    ASSERT_TRUE(SUCCEEDED(apartment_.result()));
    ASSERT_EQ(RegisterBarcodeServers(), S_OK);
    ASSERT_TRUE(desk_.valid());
    desk_.Reset();
    // A device of this test's own.
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    device_ = std::wstring(test.begin(), test.end()).substr(0, dataserver::kDeviceNameChars);
    recorder_ = testsupport::EventRecorder::Create(DIID__IHVTAXBarCodeEvents);
    KeepBarcodeEvents();
}

void BarcodeTest::TearDown() {
    connections_.clear();
    PutFilterBack();
    desk_.Reset();
}

void BarcodeTest::KeepBarcodeEvents() {
    ASSERT_EQ(HVTGetEventFilter(1, savedEntries_, 10, &savedEntryCount_, &savedDefaultMask_,
                                savedCodes_, 20, &savedCodeCount_),
              hvt::EVTLOG_SUCCESS);
    filterSaved_ = true;
    HVTFacilityFilter all{static_cast<WORD>(hvt::FacilityBarcode), 0x0F};
    ASSERT_EQ(HVTSetEventFilter(1, &all, 1, savedDefaultMask_, savedCodes_, savedCodeCount_),
              hvt::EVTLOG_SUCCESS);
    HVTEventRecord records[64];
    DWORD status = 0;
    BOOL restart = TRUE;
    while (HVTGetEventLog(records, 64, restart, 0, &status) == 64) {
        restart = FALSE;
    }
}

void BarcodeTest::PutFilterBack() {
    if (filterSaved_) {
        HVTSetEventFilter(1, savedEntries_, savedEntryCount_, savedDefaultMask_, savedCodes_,
                          savedCodeCount_);
        filterSaved_ = false;
    }
}

std::vector<HVTEventRecord> BarcodeTest::LoggedEvents() {
    HVTEventRecord records[64];
    DWORD status = 0;
    WORD n = 0;
    do {
        n = HVTGetEventLog(records, 64, FALSE, 0, &status);
        for (WORD i = 0; i < n; ++i) {
            if (hvt::EventFacility(records[i].code) == hvt::FacilityBarcode) {
                logged_.push_back(records[i]);
            }
        }
    } while (n == 64);
    return logged_;
}

std::vector<DWORD> BarcodeTest::LoggedCodes() {
    std::vector<DWORD> codes;
    for (const HVTEventRecord& record : LoggedEvents()) {
        codes.push_back(record.code);
    }
    return codes;
}

common::ComPtr<IHVTAXBarCode> BarcodeTest::NewControl() {
    common::ComPtr<IHVTAXBarCode> control;
    EXPECT_EQ(::CoCreateInstance(CLSID_HVTAXBarCode, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IHVTAXBarCode, control.put_void()),
              S_OK);
    if (control) {
        connections_.push_back(recorder_->Connect(control.get()));
        EXPECT_EQ(connections_.back().result(), S_OK);
    }
    return control;
}

void BarcodeTest::Open(common::ComPtr<IHVTAXBarCode>& control, VARIANT_BOOL readAhead,
                       const std::wstring& device) {
    common::UniqueBstr name(device.empty() ? device_ : device);
    ASSERT_EQ(control->put_DeviceName(name.get()), S_OK);
    ASSERT_EQ(control->put_ReadAhead(readAhead), S_OK);
    ASSERT_TRUE(Opened(device));
}

dataserver::DeviceState BarcodeTest::Device(const std::wstring& name) {
    std::optional<dataserver::DeviceState> state = desk_.Device(name.empty() ? device_ : name);
    EXPECT_TRUE(state.has_value());
    return state.value_or(dataserver::DeviceState{});
}

bool BarcodeTest::Opened(const std::wstring& name) {
    std::optional<dataserver::DeviceState> state = desk_.Device(name.empty() ? device_ : name);
    return state.has_value() && state->opens > 0;
}

bool BarcodeTest::WaitForBlockedRead(long reads, const std::wstring& name) {
    return desk_.WaitForDevice(name.empty() ? device_ : name, 5000,
                               [reads](const std::optional<dataserver::DeviceState>& s) {
                                   return s && s->readsStarted == reads && s->readsWaiting == 1;
                               });
}

void BarcodeTest::Scan(const std::string& bytes, long symbology, long dataType, HRESULT status) {
    dataserver::Scan scan;
    scan.device = device_;
    scan.status = status;
    scan.symbology = symbology;
    scan.dataType = dataType;
    scan.time = {2026, 12, 1, 7, 23, 30, 15, 250};
    scan.data.assign(bytes.begin(), bytes.end());
    ASSERT_TRUE(desk_.Inject(scan));
}

void BarcodeTest::Fail(dataserver::Operation operation, HRESULT status, long attribute,
                       long count) {
    ASSERT_TRUE(desk_.InjectFailure({device_, operation, attribute, status, count}));
}

bool BarcodeTest::PumpUntilEvents(size_t count, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        PumpPosted();
        if (recorder_->Events().size() >= count) {
            return true;
        }
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                    QS_ALLINPUT);
    }
}

void BarcodeTest::PumpPosted() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

Completion CompletionOf(const testsupport::RecordedEvent& event) {
    Completion c{};
    // The arguments arrive last first: stDate, eDataType, eSymbology, pData, lStatus.
    if (event.received.size() != 5) {
        ADD_FAILURE() << "CompleteRead with " << event.received.size() << " arguments";
        return c;
    }
    c.dateType = event.received[0]->vt;
    c.date = event.received[0]->date;
    c.dataType = event.received[1]->lVal;
    c.symbology = event.received[2]->lVal;
    EXPECT_EQ(event.received[3]->vt, VT_BSTR);
    if (event.received[3]->vt == VT_BSTR) {
        c.data.assign(event.received[3]->bstrVal, ::SysStringLen(event.received[3]->bstrVal));
    }
    c.status = event.received[4]->lVal;
    return c;
}
