// The reader side of "Harvanti.BarCodeReader" as the barcode control and a
// person with HVTScan see it.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "HVTDataServer.h"
#include "common/com.h"
#include "common/handle.h"
#include "scan_desk.h"
#include "testsupport/paths.h"
#include "testsupport/server_registration.h"

namespace {

using dataserver::Operation;

class ReaderDevice : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(apartment_.result()));
        ASSERT_TRUE(desk_.valid());
        desk_.Reset();
        ASSERT_EQ(testsupport::RegisterServer(L"HVTBarCodeReaderSim.dll"), S_OK);
        CLSID clsid = {};
        ASSERT_EQ(::CLSIDFromProgID(L"Harvanti.BarCodeReader", &clsid), S_OK);
        ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IReaderDevice,
                                     reader_.put_void()),
                  S_OK);
    }
    void TearDown() override { desk_.Reset(); }

    HRESULT Open(const wchar_t* name = L"Wedge", LONG mode = READER_MODE_READ_AHEAD) {
        common::UniqueBstr text(name);
        return reader_->Open(text.get(), mode);
    }
    void Scan(const std::string& bytes, const std::wstring& device = L"") {
        dataserver::Scan scan;
        scan.device = device;
        scan.symbology = 11;
        scan.data.assign(bytes.begin(), bytes.end());
        ASSERT_TRUE(desk_.Inject(scan));
    }

    common::ComApartment apartment_;
    dataserver::ScanDesk desk_;
    common::ComPtr<IReaderDevice> reader_;
};

struct ReadCall {
    ReadCall(IReaderDevice* r, LONG t) : reader(r), timeout(t) {}
    IReaderDevice* reader;
    LONG timeout;
    BYTE data[64] = {};
    LONG count = 0;
    ReadInfo info = {};
    HRESULT result = E_UNEXPECTED;
};

DWORD WINAPI ReadOnThread(LPVOID parameter) {
    auto* call = static_cast<ReadCall*>(parameter);
    call->info = {};
    call->info.size = 30;
    call->result =
        call->reader->Read(call->data, sizeof call->data, &call->count, &call->info, call->timeout);
    return 0;
}

TEST_F(ReaderDevice, TheObjectAnswersAllThreeInterfaces) {
    EXPECT_TRUE(reader_.as<IReaderQueue>());
    EXPECT_TRUE(reader_.as<IBarCodeReaderConfig>());
    common::ComPtr<IUnknown> a = reader_.as<IUnknown>();
    common::ComPtr<IUnknown> b = reader_.as<IReaderQueue>().as<IUnknown>();
    EXPECT_EQ(a.get(), b.get()) << "one object";
}

TEST_F(ReaderDevice, ReadWaitsForAScanAndReturnsItsBytesAndInfo) {
    ASSERT_EQ(Open(), S_OK);
    ReadCall call(reader_.get(), 0);
    common::UniqueKernel thread(::CreateThread(nullptr, 0, &ReadOnThread, &call, 0, nullptr));
    ASSERT_TRUE(desk_.WaitForDevice(L"Wedge", 5000,
                                    [](const auto& s) { return s && s->readsWaiting == 1; }));
    Scan("9780201633610", L"Other");
    Scan("9780201633610", L"Wedge");
    ASSERT_EQ(::WaitForSingleObject(thread.get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(call.result, S_OK);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(call.data), call.count), "9780201633610");
    EXPECT_EQ(call.info.symbology, 11);
    EXPECT_NE(call.info.time.wYear, 0) << "stamped when it was put on the desk";
    EXPECT_EQ(desk_.ScansWaiting(), 1) << "the other device's scan stays";
}

TEST_F(ReaderDevice, CancelReadEndsABlockedReadAndATimeoutEndsItToo) {
    ASSERT_EQ(Open(), S_OK);
    ReadCall call(reader_.get(), 0);
    common::UniqueKernel thread(::CreateThread(nullptr, 0, &ReadOnThread, &call, 0, nullptr));
    ASSERT_TRUE(desk_.WaitForDevice(L"Wedge", 5000,
                                    [](const auto& s) { return s && s->readsWaiting == 1; }));
    LONG cancelled = 0;
    LONG flushed = 0;
    ASSERT_EQ(reader_->CancelRead(0, &cancelled, &flushed), S_OK);
    ASSERT_EQ(::WaitForSingleObject(thread.get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(call.result, READER_E_READ_CANCELLED);
    EXPECT_EQ(cancelled, 1);

    // Without a read, a cancel only flushes what is queued.
    Scan("queued");
    ASSERT_EQ(reader_->CancelRead(-1, &cancelled, &flushed), S_OK);
    EXPECT_EQ(cancelled, 0);
    EXPECT_EQ(flushed, 1);
    EXPECT_EQ(desk_.ScansWaiting(), 0);

    ReadCall timed(reader_.get(), 30);
    ReadOnThread(&timed);
    EXPECT_EQ(timed.result, READER_E_READ_TIMEOUT);
    EXPECT_EQ(timed.count, 0);
}

TEST_F(ReaderDevice, AttributesMoveTheSizesOfTheAttributeTable) {
    EXPECT_EQ(reader_->ControlScanner(0), READER_E_NOT_OPEN);
    ASSERT_EQ(Open(), S_OK);
    LONG four = 0;
    SHORT two = 0;
    GridRecord grid = {};
    EXPECT_EQ(reader_->GetAttribute(READER_ATTRIBUTE_GRID, reinterpret_cast<BYTE*>(&grid), 76),
              S_OK);
    EXPECT_EQ(grid.further, 1);
    EXPECT_EQ(reader_->GetAttribute(READER_ATTRIBUTE_TRIGGER, reinterpret_cast<BYTE*>(&four), 4),
              S_OK);
    EXPECT_EQ(four, -1);
    EXPECT_EQ(reader_->GetAttribute(READER_ATTRIBUTE_AUTO_BEEP, reinterpret_cast<BYTE*>(&two), 2),
              S_OK);
    EXPECT_EQ(two, -1);
    EXPECT_EQ(reader_->GetAttribute(READER_ATTRIBUTE_AUTO_BEEP, reinterpret_cast<BYTE*>(&four), 4),
              E_INVALIDARG);
    four = 0;
    EXPECT_EQ(reader_->SetAttribute(READER_ATTRIBUTE_AUTO_BEEP, reinterpret_cast<BYTE*>(&four), 4),
              S_OK);
    EXPECT_EQ(desk_.Device(L"Wedge")->autoBeep, 0);
    EXPECT_EQ(reader_->GetAttribute(0x99, reinterpret_cast<BYTE*>(&four), 4),
              READER_E_ATTRIBUTE_GET);
    EXPECT_EQ(reader_->SetAttribute(0x99, reinterpret_cast<BYTE*>(&four), 4),
              READER_E_ATTRIBUTE_SET);
    grid.nameLength = 40; // longer than the record
    EXPECT_EQ(reader_->SetAttribute(READER_ATTRIBUTE_GRID, reinterpret_cast<BYTE*>(&grid), 76),
              E_INVALIDARG);
}

TEST_F(ReaderDevice, ForcedStatusesAnswerTheNextCallsOnly) {
    ASSERT_TRUE(desk_.InjectFailure({L"Wedge", Operation::Open, -1, E_ACCESSDENIED, 1}));
    EXPECT_EQ(Open(), E_ACCESSDENIED);
    EXPECT_EQ(Open(), S_OK);
    ASSERT_TRUE(desk_.InjectFailure(
        {L"", Operation::GetAttribute, READER_ATTRIBUTE_AUTO_BEEP, READER_E_ATTRIBUTE_GET, 2}));
    SHORT two = 0;
    LONG four = 0;
    EXPECT_EQ(reader_->GetAttribute(READER_ATTRIBUTE_TRIGGER, reinterpret_cast<BYTE*>(&four), 4),
              S_OK);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(
            reader_->GetAttribute(READER_ATTRIBUTE_AUTO_BEEP, reinterpret_cast<BYTE*>(&two), 2),
            READER_E_ATTRIBUTE_GET);
    }
    EXPECT_EQ(reader_->GetAttribute(READER_ATTRIBUTE_AUTO_BEEP, reinterpret_cast<BYTE*>(&two), 2),
              S_OK);
}

TEST_F(ReaderDevice, QueryDataCountsTheScansTheDeviceWouldTake) {
    ASSERT_EQ(Open(), S_OK);
    auto queue = reader_.as<IReaderQueue>();
    Scan("1234", L"Wedge");
    Scan("123456789");
    Scan("12", L"Other");
    LONG total = 0;
    SHORT messages = 0;
    LONG next = 0;
    ASSERT_EQ(queue->QueryData(&total, &messages, &next), S_OK);
    EXPECT_EQ(total, 13);
    EXPECT_EQ(messages, 2);
    EXPECT_EQ(next, 4);
    EXPECT_EQ(queue->QueryData(nullptr, &messages, &next), E_POINTER);
}

TEST_F(ReaderDevice, APersonScansWithTheTool) {
    ASSERT_EQ(Open(), S_OK);
    const std::wstring tool = testsupport::ProgramFolder() + L"HVTScan.exe";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring command = L"\"" + tool + L"\" /d:Wedge /s:5 /t:2 Hello world";
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process));
    common::UniqueKernel processHandle(process.hProcess);
    common::UniqueKernel threadHandle(process.hThread);
    ASSERT_EQ(::WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);

    ReadCall call(reader_.get(), 1000);
    ReadOnThread(&call);
    EXPECT_EQ(call.result, S_OK);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(call.data), call.count), "Hello world");
    EXPECT_EQ(call.info.symbology, 5);
    EXPECT_EQ(call.info.dataType, 2);
}

} // namespace
