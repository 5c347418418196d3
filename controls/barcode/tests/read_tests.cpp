// The read path: PostRead, the reader thread, the completion slot and
// CompleteRead as a sink receives it.
#include <algorithm>

#include "barcode_events.h"
#include "barcode_fixture.h"

namespace {

using dataserver::Operation;

class Reads : public BarcodeTest {
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

    // Pumps for a while: what arrives is what was posted by then.
    void DeliverPending() { PumpUntilEvents(Events().size() + 1, 200); }

    common::ComPtr<IHVTAXBarCode> control_;
};

DATE DateOf(const SYSTEMTIME& time) {
    DATE date = 0;
    SYSTEMTIME copy = time;
    ::SystemTimeToVariantTime(&copy, &date);
    return date;
}

// The reader thread converts its times itself. On a 32-bit terminal two
// threads can run the floating-point unit at different precisions, so the same
// time may differ in its last bits there: a millisecond is far above that
// rounding and far below what the dates here must tell apart.
constexpr double kOneMillisecond = 1.0 / (24.0 * 60 * 60 * 1000);

TEST_F(Reads, AScanArrivesAsCompleteReadWithItsDataSymbologyTypeAndTime) {
    ASSERT_EQ(control_->PostRead(100, 0), S_OK);
    ASSERT_TRUE(WaitForBlockedRead(1));
    Scan("4006381333931", 7, 2);
    ASSERT_TRUE(PumpUntilEvents(1));
    const Completion c = CompletionOf(Events()[0]);
    EXPECT_EQ(Events()[0].dispid, 1);
    EXPECT_EQ(c.status, S_OK);
    EXPECT_EQ(c.data, L"4006381333931");
    EXPECT_EQ(c.symbology, 7);
    EXPECT_EQ(c.dataType, 2);
    EXPECT_EQ(c.dateType, VT_DATE);
    EXPECT_NEAR(c.date, DateOf({2026, 12, 1, 7, 23, 30, 15, 250}), kOneMillisecond);

    const std::vector<DWORD> codes = LoggedCodes();
    auto posted = std::find(codes.begin(), codes.end(), hvt::barcode::PostReadCalled);
    auto started = std::find(codes.begin(), codes.end(), hvt::barcode::ReadStarted);
    auto returned = std::find(codes.begin(), codes.end(), hvt::barcode::ReadReturned);
    EXPECT_TRUE(posted < started && started < returned && returned != codes.end());
}

TEST_F(Reads, OneCompleteReadPerPostRead) {
    Scan("first");
    Scan("second");
    ASSERT_EQ(control_->PostRead(0, 0), S_OK);
    ASSERT_TRUE(PumpUntilEvents(1));
    DeliverPending();
    EXPECT_EQ(Events().size(), 1u) << "the second scan waits for the next PostRead";
    ASSERT_EQ(control_->PostRead(0, 0), S_OK);
    ASSERT_TRUE(PumpUntilEvents(2));
    EXPECT_EQ(CompletionOf(Events()[1]).data, L"second");
}

TEST_F(Reads, TwoPostReadsDuringOneReadGiveExactlyOneFurtherRead) {
    ASSERT_EQ(control_->PostRead(0, 0), S_OK);
    ASSERT_TRUE(WaitForBlockedRead(1));
    ASSERT_EQ(control_->PostRead(0, 0), S_OK);
    ASSERT_EQ(control_->PostRead(0, 0), S_OK);
    ASSERT_EQ(control_->PostRead(0, 0), S_OK);
    Scan("one");
    ASSERT_TRUE(WaitForBlockedRead(2)) << "the requests collapse into one further read";
    Scan("two");
    ASSERT_TRUE(PumpUntilEvents(2));
    Scan("three");
    DeliverPending();
    EXPECT_EQ(Events().size(), 2u);
    EXPECT_EQ(Device().readsStarted, 2);
    EXPECT_EQ(desk_.ScansWaiting(), 1);
}

TEST_F(Reads, UnconvertedDataPairsTheBytesIntoCharacters) {
    ASSERT_EQ(control_->put_ConvertDataToUnicode(VARIANT_FALSE), S_OK);
    Scan("ABC");
    ASSERT_EQ(control_->PostRead(0, 0), S_OK);
    ASSERT_TRUE(PumpUntilEvents(1));
    const std::wstring data = CompletionOf(Events()[0]).data;
    ASSERT_EQ(data.size(), 2u);
    EXPECT_EQ(static_cast<unsigned>(data[0]), 0x4241u); // "A" low, "B" high
    EXPECT_EQ(static_cast<unsigned>(data[1]), 0x0043u); // "C" and the terminator's zero
}

TEST_F(Reads, ConvertedDataEndsAtTheFirstZeroByte) {
    Scan(std::string("AB\0CD", 5));
    ASSERT_EQ(control_->PostRead(0, 0), S_OK);
    ASSERT_TRUE(PumpUntilEvents(1));
    EXPECT_EQ(CompletionOf(Events()[0]).data, L"AB");
}

TEST_F(Reads, AFailedReadCarriesItsStatusTheRawBytesAndTheLocalTime) {
    SYSTEMTIME before;
    ::GetLocalTime(&before);
    Scan("XYZ", 9, 4, static_cast<HRESULT>(0xC1040050));
    ASSERT_EQ(control_->PostRead(0, 0), S_OK);
    ASSERT_TRUE(PumpUntilEvents(1));
    SYSTEMTIME after;
    ::GetLocalTime(&after);
    const Completion c = CompletionOf(Events()[0]);
    EXPECT_EQ(static_cast<DWORD>(c.status), 0xC1040050u);
    ASSERT_EQ(c.data.size(), 2u) << "bytes, never converted";
    EXPECT_EQ(static_cast<unsigned>(c.data[0]), 0x5958u);
    EXPECT_EQ(c.symbology, 9);
    EXPECT_EQ(c.dataType, 4);
    before.wMilliseconds = 0;
    EXPECT_GE(c.date, DateOf(before) - kOneMillisecond);
    EXPECT_LE(c.date, DateOf(after) + 1.0 / 86400 + kOneMillisecond);

    const std::vector<HVTEventRecord> events = LoggedEvents();
    auto failed = std::find_if(events.begin(), events.end(), [](const HVTEventRecord& r) {
        return r.code == hvt::barcode::ReadFailed;
    });
    ASSERT_NE(failed, events.end());
    EXPECT_EQ(failed->parameter1, 0xC1040050u);
}

TEST_F(Reads, AReadThatTimesOutIsDeliveredAsAFailure) {
    ASSERT_EQ(control_->PostRead(0, 50), S_OK);
    ASSERT_TRUE(PumpUntilEvents(1));
    EXPECT_EQ(CompletionOf(Events()[0]).status, READER_E_READ_TIMEOUT);
    EXPECT_EQ(CompletionOf(Events()[0]).data, L"");
}

TEST_F(Reads, APropertyAccessDuringAReadCancelsRunsAndPostsTheReadAgain) {
    ASSERT_EQ(control_->PostRead(64, 30000), S_OK);
    ASSERT_TRUE(WaitForBlockedRead(1));
    ASSERT_EQ(control_->put_TriggerEnable(VARIANT_FALSE), S_OK);
    EXPECT_EQ(Device().trigger, 0);
    EXPECT_EQ(Device().cancels, 1);
    EXPECT_EQ(Device().lastFlush, -1) << "FlushDataOnGridChange, sign-extended";
    ASSERT_TRUE(WaitForBlockedRead(2)) << "an equal read is posted again";
    DeliverPending();
    EXPECT_TRUE(Events().empty()) << "no CompleteRead for the cancelled read";

    const std::vector<HVTEventRecord> events = LoggedEvents();
    auto cancelled = std::find_if(events.begin(), events.end(), [](const HVTEventRecord& r) {
        return r.code == hvt::barcode::ReadCancelled;
    });
    ASSERT_NE(cancelled, events.end());
    auto reposted = std::find_if(cancelled, events.end(), [](const HVTEventRecord& r) {
        return r.code == hvt::barcode::PostReadCalled;
    });
    ASSERT_NE(reposted, events.end());
    EXPECT_EQ(reposted->parameter1, 64u);
    EXPECT_EQ(reposted->parameter2, 30000u);

    Scan("after");
    ASSERT_TRUE(PumpUntilEvents(1));
    EXPECT_EQ(CompletionOf(Events()[0]).data, L"after");
}

TEST_F(Reads, AFailedCancelIsTheMembersResultAndTheCallIsSkipped) {
    ASSERT_EQ(control_->PostRead(0, 0), S_OK);
    ASSERT_TRUE(WaitForBlockedRead(1));
    Fail(Operation::CancelRead, E_ACCESSDENIED);
    EXPECT_EQ(control_->ControlScanner(VARIANT_FALSE), E_ACCESSDENIED);
    EXPECT_EQ(Device().scannerOn, -1) << "the device call was skipped";
    Scan("still read");
    ASSERT_TRUE(PumpUntilEvents(1)) << "the read kept running";
}

TEST_F(Reads, UnloadDuringAReadEndsItWithoutAnEvent) {
    ASSERT_EQ(control_->PostRead(0, 0), S_OK);
    ASSERT_TRUE(WaitForBlockedRead(1));
    ASSERT_EQ(control_->Unload(), S_OK);
    EXPECT_EQ(Device().readsWaiting, 0);
    Scan("too late");
    DeliverPending();
    EXPECT_TRUE(Events().empty());
    EXPECT_EQ(desk_.ScansWaiting(), 1);

    // Unload again finds nothing to release; PostRead tries to open again.
    ASSERT_EQ(control_->Unload(), S_OK);
    const std::vector<DWORD> codes = LoggedCodes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), hvt::barcode::TornDown), 2);
    EXPECT_EQ(control_->PostRead(0, 0), S_OK);
    EXPECT_EQ(Device().opens, 1) << "Unload forgot the device's name";
}

TEST_F(Reads, AReadThatWillNotEndGetsThreeWaitsAndTheTeardownGoesOn) {
    ASSERT_EQ(control_->PostRead(0, 0), S_OK);
    ASSERT_TRUE(WaitForBlockedRead(1));
    Fail(Operation::CancelRead, E_ACCESSDENIED, -1, -1);
    const ULONGLONG start = ::GetTickCount64();
    ASSERT_EQ(control_->Unload(), S_OK);
    EXPECT_GE(::GetTickCount64() - start, 2900u) << "three waits of a second";
    const std::vector<DWORD> codes = LoggedCodes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), hvt::barcode::ReadCancelled), 3)
        << "one cancel before each wait, none after the last";
    EXPECT_EQ(std::count(codes.begin(), codes.end(), hvt::barcode::TornDown), 1);

    // The read still ends with the reader's next scan, and no event follows.
    desk_.ClearFailures();
    Scan("after the teardown");
    ASSERT_TRUE(desk_.WaitForDevice(device_, 5000,
                                    [](const auto& s) { return s && s->readsWaiting == 0; }));
    DeliverPending();
    EXPECT_TRUE(Events().empty());
}

TEST_F(Reads, ACompletionLeftUndeliveredAtUnloadFiresNothingAfterTheNextOpening) {
    Scan("left behind");
    ASSERT_EQ(control_->PostRead(0, 0), S_OK);
    // The completion message waits in this thread's queue, not yet handled.
    MSG message;
    const ULONGLONG deadline = ::GetTickCount64() + 5000;
    constexpr UINT kCompleteReadMessage = 0x464;
    while (!::PeekMessageW(&message, nullptr, kCompleteReadMessage, kCompleteReadMessage,
                           PM_NOREMOVE)) {
        ASSERT_LT(::GetTickCount64(), deadline) << "no completion was posted";
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
    }
    ASSERT_EQ(control_->Unload(), S_OK);
    common::UniqueBstr name(device_);
    ASSERT_EQ(control_->put_DeviceName(name.get()), S_OK);
    ASSERT_EQ(Device().opens, 2);
    DeliverPending();
    EXPECT_TRUE(Events().empty()) << "the new opening has finished no read";
}

TEST_F(Reads, PostReadOnAClosedControlOpensButStartsNoRead) {
    ASSERT_EQ(control_->Unload(), S_OK);
    common::UniqueBstr name(device_);
    Fail(Operation::Open, E_FAIL);
    EXPECT_EQ(control_->put_DeviceName(name.get()), E_FAIL);
    EXPECT_EQ(control_->PostRead(0, 0), S_OK);
    EXPECT_EQ(Device().opens, 2) << "the opening was tried again";
    Scan("waiting");
    DeliverPending();
    EXPECT_EQ(Device().readsStarted, 0);
    ASSERT_EQ(control_->PostRead(0, 0), S_OK);
    ASSERT_TRUE(PumpUntilEvents(1));
}

TEST_F(Reads, ReleasingTheControlDuringAReadEndsTheThread) {
    ASSERT_EQ(control_->PostRead(0, 0), S_OK);
    ASSERT_TRUE(WaitForBlockedRead(1));
    connections_.clear();
    control_.reset();
    EXPECT_EQ(Device().readsWaiting, 0);
    const std::vector<DWORD> codes = LoggedCodes();
    EXPECT_NE(std::find(codes.begin(), codes.end(), hvt::barcode::TornDown), codes.end());
}

} // namespace

namespace {

// A sink whose every call faults, as a broken script engine might.
class FaultingSink final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID__IHVTAXBarCodeEvents) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        ++calls;
        volatile LONG* nowhere = nullptr;
        *nowhere = 1;
        return S_OK;
    }
    int calls = 0;

private:
    ULONG refs_ = 1;
};

TEST_F(Reads, ASinkThatFaultsEndsThatFiringAndTheControlGoesOn) {
    connections_.clear();
    FaultingSink faulting;
    {
        common::ComPtr<IConnectionPoint> point;
        ASSERT_EQ(control_.as<IConnectionPointContainer>()->FindConnectionPoint(
                      DIID__IHVTAXBarCodeEvents, point.put()),
                  S_OK);
        DWORD cookie = 0;
        ASSERT_EQ(point->Advise(&faulting, &cookie), S_OK);
        connections_.emplace_back(point, cookie, S_OK);
    }
    connections_.push_back(recorder_->Connect(control_.get()));
    Scan("lost");
    ASSERT_EQ(control_->PostRead(0, 0), S_OK);
    ASSERT_TRUE(desk_.WaitForDevice(device_, 5000, [](const auto& s) {
        return s && s->readsStarted == 1 && s->readsWaiting == 0;
    }));
    DeliverPending();
    EXPECT_EQ(faulting.calls, 1);
    EXPECT_TRUE(Events().empty()) << "later sinks are skipped";
    // The fault is recorded as an exception event.
    HVTEventRecord records[64];
    DWORD status = 0;
    bool logged = false;
    WORD n = 0;
    do {
        n = HVTGetEventLog(records, 64, FALSE, 0, &status);
        for (WORD i = 0; i < n; ++i) {
            logged = logged || records[i].code == EXCEPTION_ACCESS_VIOLATION;
        }
    } while (n == 64);
    EXPECT_TRUE(logged);

    connections_.front().Disconnect();
    Scan("delivered");
    ASSERT_EQ(control_->PostRead(0, 0), S_OK);
    ASSERT_TRUE(PumpUntilEvents(1));
    EXPECT_EQ(CompletionOf(Events()[0]).data, L"delivered");
}

} // namespace
