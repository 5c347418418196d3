// The barcode control as its tests drive it: the control created in this
// thread's apartment, a sink that records CompleteRead, the scan desk of the
// simulated reader, and the control's events in the event log.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "HVTAXBarCodeReader.h"
#include "HVTEventLog.h"
#include "common/com.h"
#include "scan_desk.h"
#include "testsupport/ole_container.h"

// Registers both servers (the control and the simulated reader).
HRESULT RegisterBarcodeServers();

class BarcodeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new control with a CompleteRead recorder connected.
    common::ComPtr<IHVTAXBarCode> NewControl();
    // Assigns DeviceName (this test's device unless given) and ReadAhead:
    // the device opens.
    void Open(common::ComPtr<IHVTAXBarCode>& control, VARIANT_BOOL readAhead = VARIANT_TRUE,
              const std::wstring& device = L"");

    // The device's state on the desk; fails the test when it was never opened.
    dataserver::DeviceState Device(const std::wstring& name = L"");
    bool Opened(const std::wstring& name = L"");
    // Waits until `reads` reads have started on the device and one is blocked.
    bool WaitForBlockedRead(long reads, const std::wstring& name = L"");
    // Puts a scan of `text` (or bytes) for this test's device on the desk.
    void Scan(const std::string& bytes, long symbology = 3, long dataType = 1,
              HRESULT status = S_OK);
    void Fail(dataserver::Operation operation, HRESULT status, long attribute = -1, long count = 1);

    // Pumps this thread's messages until `count` CompleteRead calls arrived.
    bool PumpUntilEvents(size_t count, DWORD timeoutMs = 5000);
    // Delivers what is already posted.
    void PumpPosted();
    const std::vector<testsupport::RecordedEvent>& Events() const { return recorder_->Events(); }

    // The control's events logged since SetUp (facility 0x199), oldest first.
    std::vector<HVTEventRecord> LoggedEvents();
    std::vector<DWORD> LoggedCodes();

    common::ComApartment apartment_;
    dataserver::ScanDesk desk_;
    std::wstring device_;
    common::ComPtr<testsupport::EventRecorder> recorder_;
    std::vector<testsupport::SinkConnection> connections_;

private:
    void KeepBarcodeEvents();
    void PutFilterBack();

    std::vector<HVTEventRecord> logged_; // read from the log so far
    bool filterSaved_ = false;
    WORD savedEntryCount_ = 0;
    WORD savedDefaultMask_ = 0;
    WORD savedCodeCount_ = 0;
    HVTFacilityFilter savedEntries_[10] = {};
    DWORD savedCodes_[20] = {};
};

// The BSTR of a recorded CompleteRead (pData), and its other arguments.
struct Completion {
    LONG status;
    std::wstring data;
    LONG symbology;
    LONG dataType;
    VARTYPE dateType;
    DATE date;
};
Completion CompletionOf(const testsupport::RecordedEvent& event);
