// Opening the reader device, cancelling a pending read for a device
// operation, and the teardown.
#include "HVTEventLog.h"
#include "barcode_control.h"
#include "barcode_events.h"
#include "set_mask.h"

namespace {

const wchar_t kReaderProgId[] = L"Harvanti.BarCodeReader";
const wchar_t kDefaultDevice[] = L"default";
const wchar_t kInitializeError[] = L"Error initializing device";

constexpr DWORD kThreadWaitMs = 1000;
constexpr int kThreadWaits = 3;

} // namespace

HRESULT HVTAXBarCode::OpenDevice() {
    HVTLogEvent(hvt::barcode::OpenAttempted, OpenedFlag(), setMask_);
    if (opened_ || (setMask_ & barcode::kSetNeededToOpen) != barcode::kSetNeededToOpen) {
        return S_OK;
    }
    CLSID clsid = {};
    ::CLSIDFromProgID(kReaderProgId, &clsid);
    common::ComPtr<IReaderDevice> reader;
    HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IReaderDevice,
                                    reader.put_void());
    if (FAILED(hr)) {
        HVTLogEvent(hvt::barcode::ReaderCreateFailed, static_cast<DWORD>(hr), 0);
        return hr;
    }
    reader_ = std::move(reader);

    LONG mode = readAhead_ != VARIANT_FALSE ? READER_MODE_READ_AHEAD : READER_MODE_SINGLE;
    if (deviceName_.view() == kDefaultDevice) {
        mode = READER_MODE_READ_AHEAD;
    }
    hr = reader_->Open(deviceName_.get(), mode);
    if (FAILED(hr)) {
        HVTLogEvent(hvt::barcode::ReaderOpenFailed, static_cast<DWORD>(hr), 0);
        return ReportError(hr, kInitializeError);
    }
    if (readAhead_ == VARIANT_FALSE) {
        flushDataOnGridChange_ = VARIANT_FALSE;
    }

    std::shared_ptr<barcode::ReadChannel> channel;
    try {
        channel = std::make_shared<barcode::ReadChannel>();
    } catch (...) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    bool started = false;
    if (channel && channel->valid()) {
        if (Window() == nullptr) {
            CreateHiddenWindow(); // without it no read can be delivered; still open
        }
        channel->window = Window();
        channel->convertToUnicode = convertDataToUnicode_;
        started = channel->Start(reader_.get());
    }
    if (!started) {
        hr = E_FAIL;
        HVTLogEvent(hvt::barcode::ReaderThreadFailed, static_cast<DWORD>(E_FAIL), ::GetLastError());
        return hr;
    }
    channel_ = std::move(channel);
    opened_ = true;
    return hr;
}

HRESULT HVTAXBarCode::CancelPendingRead() {
    if (!channel_ || !channel_->readPending || !reader_) {
        return S_OK;
    }
    HVTLogEvent(hvt::barcode::ReadCancelled, 0, 0);
    ::ResetEvent(channel_->requestEvent.get());
    LONG cancelled = 0;
    LONG flushed = 0;
    const HRESULT hr = reader_->CancelRead(flushDataOnGridChange_, &cancelled, &flushed);
    if (SUCCEEDED(hr)) {
        channel_->readPending = false;
        repost_ = true;
    }
    return hr;
}

void HVTAXBarCode::Teardown() {
    if (channel_) {
        ::SetEvent(channel_->exitEvent.get());
        CancelPendingRead();
        for (int wait = 1; channel_->thread; ++wait) {
            if (::WaitForSingleObject(channel_->thread.get(), kThreadWaitMs) != WAIT_TIMEOUT ||
                wait == kThreadWaits) {
                break;
            }
            // Asked again before each further wait, not after the last one.
            ::SetEvent(channel_->exitEvent.get());
            CancelPendingRead();
        }
    }
    deviceName_.reset();
    deviceIndependentGrid_.reset();
    HVTLogEvent(hvt::barcode::TornDown, 0, 0);
    // A thread that has not ended keeps the channel, the reader and the
    // server until it does.
    channel_.reset();
    reader_.reset();
    opened_ = false;
    repost_ = false;
}
