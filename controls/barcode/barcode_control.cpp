// The control's class, its properties and methods. Every member that
// reaches the open device runs inside DeviceOperation.
#include "barcode_control.h"

#include <algorithm>
#include <cstring>

#include "HVTEventLog.h"
#include "barcode_events.h"
#include "set_mask.h"

namespace {

namespace events = hvt::barcode;
using namespace barcode;

// DISPIDs of the properties.
enum : DISPID {
    kDispDeviceName = 1,
    kDispReadAhead = 2,
    kDispDeviceIndependentGrid = 3,
    kDispDeviceDependentGrid = 4,
    kDispAutoGoodReadLED = 5,
    kDispAutoDataValidLED = 6,
    kDispAutoBeep = 7,
    kDispFlushDataOnGridChange = 8,
    kDispTriggerEnable = 9,
    kDispConvertDataToUnicode = 10,
};

// Saved and loaded in this order: loading DeviceName then ReadAhead opens the
// device, and the items after them reach it.
const frame::Property kProperties[] = {
    {L"DeviceName", kDispDeviceName, true},
    {L"ReadAhead", kDispReadAhead, true},
    {L"DeviceIndependentGrid", kDispDeviceIndependentGrid, true},
    {L"FlushDataOnGridChange", kDispFlushDataOnGridChange, true},
    {L"ConvertDataToUnicode", kDispConvertDataToUnicode, true},
    {L"TriggerEnable", kDispTriggerEnable, true},
    {L"AutoGoodReadLED", kDispAutoGoodReadLED, true},
    {L"AutoDataValidLED", kDispAutoDataValidLED, true},
    {L"AutoBeep", kDispAutoBeep, true},
    {L"DeviceDependentGrid", kDispDeviceDependentGrid, true},
};

// Offered to a container in this order.
const CLSID kPropertyPages[] = {CLSID_BarCodePropPage, CLSID_BarCodeGridPropPage};

const wchar_t kDefaultDeviceName[] = L"default";
const wchar_t kDefaultGridName[] = L"%s";
const wchar_t kDeviceNameError[] = L"Error setting device name";
const wchar_t kDesignText[] = L"ATL 3.0 : HVTAXBarCode";

// Statuses of the reader that two members take as success.
constexpr HRESULT kAttributeGetRefused = READER_E_ATTRIBUTE_GET;
constexpr HRESULT kAttributeSetRefused = READER_E_ATTRIBUTE_SET;

// The part of the grid record that holds the name (length and characters).
constexpr size_t kGridNameBytes = offsetof(GridRecord, symbologyMask);
static_assert(sizeof(GridRecord) == 76 && kGridNameBytes == 68);
constexpr size_t kGridNameChars = 32;

DWORD Value(VARIANT_BOOL value) {
    return static_cast<DWORD>(static_cast<LONG>(value));
}

BYTE* Bytes(void* p) {
    return static_cast<BYTE*>(p);
}

} // namespace

const frame::ControlClass& HVTAXBarCode::Class() {
    static const frame::ControlClass cls = {
        {&CLSID_HVTAXBarCode, &IID_IHVTAXBarCode, &DIID__IHVTAXBarCodeEvents},
        L"HVTAXBarCode",
        frame::kMiscStatusInvisibleControl,
        kProperties,
        kPropertyPages,
    };
    return cls;
}

std::span<const frame::Message<HVTAXBarCode>> HVTAXBarCode::Messages() {
    static const frame::Message<HVTAXBarCode> table[] = {
        {kCompleteReadMessage, &HVTAXBarCode::OnCompleteRead},
        {WM_CREATE, &HVTAXBarCode::OnCreate},
    };
    return table;
}

HVTAXBarCode::HVTAXBarCode()
    : deviceName_(kDefaultDeviceName), deviceIndependentGrid_(kDefaultGridName) {
    convertDataToUnicode_ = readAhead_ = autoBeep_ = autoDataValidLED_ = autoGoodReadLED_ =
        flushDataOnGridChange_ = triggerEnable_ = VARIANT_TRUE;
    gridCache_.further = 1;
}

HVTAXBarCode::~HVTAXBarCode() = default;

void HVTAXBarCode::OnFinalRelease() {
    if (reader_) {
        Teardown();
    }
}

void HVTAXBarCode::OnDraw(HDC dc, const RECT& bounds) {
    RECT area = bounds;
    ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    HGDIOBJ brush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, area.left, area.top, area.right, area.bottom);
    ::SelectObject(dc, brush);
    ::DrawTextW(dc, kDesignText, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

template <typename Call> HRESULT HVTAXBarCode::DeviceOperation(DWORD failureCode, Call call) {
    HRESULT hr = CancelPendingRead();
    if (SUCCEEDED(hr)) {
        hr = call();
    }
    if (repost_) {
        // Through the interface, as the script would: it logs.
        static_cast<IHVTAXBarCode*>(this)->PostRead(readBytes_, readTimeout_);
        repost_ = false;
    }
    if (FAILED(hr) && failureCode != 0) {
        HVTLogEvent(failureCode, static_cast<DWORD>(hr), 0);
    }
    return hr;
}

template <typename Store>
HRESULT HVTAXBarCode::StoreProperty(DISPID id, DWORD setBit, Store store) {
    return PutProperty(id, [&]() -> HRESULT {
        const HRESULT hr = store();
        setMask_ |= setBit;
        return hr;
    });
}

HRESULT HVTAXBarCode::GetAttributeBool(LONG attribute, LONG bytes, DWORD failureCode,
                                       VARIANT_BOOL* value) {
    if (!opened_) {
        return S_OK;
    }
    if (bytes == 2) {
        // A two-byte value lands straight in the caller's BOOL.
        return DeviceOperation(failureCode, [&] {
            return reader_->GetAttribute(attribute, Bytes(value), sizeof(VARIANT_BOOL));
        });
    }
    LONG read = 0;
    const HRESULT hr = DeviceOperation(
        failureCode, [&] { return reader_->GetAttribute(attribute, Bytes(&read), sizeof read); });
    if (SUCCEEDED(hr)) {
        *value = static_cast<VARIANT_BOOL>(LOWORD(read));
    }
    return hr;
}

HRESULT HVTAXBarCode::SetAttributeBool(LONG attribute, VARIANT_BOOL value, DWORD failureCode) {
    LONG written = value; // sign-extended
    return DeviceOperation(failureCode, [&] {
        return reader_->SetAttribute(attribute, Bytes(&written), sizeof written);
    });
}

// --- DeviceName, ReadAhead ---

HRESULT HVTAXBarCode::get_DeviceName(BSTR* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    HVTLogEvent(events::DeviceNameGet, 0, 0);
    *pVal = deviceName_.copy();
    return S_OK;
}

HRESULT HVTAXBarCode::put_DeviceName(BSTR newVal) {
    HRESULT hr = StoreProperty(kDispDeviceName, kSetDeviceName, [&] {
        BSTR copy = ::SysAllocStringLen(newVal, ::SysStringLen(newVal));
        if (copy == nullptr) {
            return E_OUTOFMEMORY;
        }
        deviceName_.reset(copy);
        return S_OK;
    });
    HVTLogEvent(events::DeviceNamePut, 0, 0);
    if (hr != S_OK || opened_) {
        return hr; // an open device keeps its name until it is opened again
    }
    hr = OpenDevice();
    return FAILED(hr) ? ReportError(hr, kDeviceNameError) : hr;
}

HRESULT HVTAXBarCode::get_ReadAhead(VARIANT_BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = readAhead_;
    HVTLogEvent(events::ReadAheadGet, Value(readAhead_), 0);
    return S_OK;
}

HRESULT HVTAXBarCode::put_ReadAhead(VARIANT_BOOL newVal) {
    HVTLogEvent(events::ReadAheadPut, Value(newVal), 0);
    const HRESULT hr = StoreProperty(kDispReadAhead, kSetReadAhead, [&] {
        readAhead_ = newVal;
        return S_OK;
    });
    if (hr == S_OK && !opened_) {
        OpenDevice();
    }
    return hr;
}

// --- The LED and beep automatics ---

HRESULT HVTAXBarCode::get_AutoGoodReadLED(VARIANT_BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = autoGoodReadLED_;
    HVTLogEvent(events::AutoGoodReadLEDGet, Value(autoGoodReadLED_), OpenedFlag());
    return GetAttributeBool(READER_ATTRIBUTE_AUTO_GOOD_READ_LED, 4,
                            events::AutoGoodReadLEDGetFailed, pVal);
}

HRESULT HVTAXBarCode::put_AutoGoodReadLED(VARIANT_BOOL newVal) {
    HVTLogEvent(events::AutoGoodReadLEDPut, Value(newVal), OpenedFlag());
    const HRESULT hr = StoreProperty(kDispAutoGoodReadLED, kSetAutoGoodReadLED, [&] {
        autoGoodReadLED_ = newVal;
        return S_OK;
    });
    if (hr != S_OK) {
        return hr;
    }
    return opened_ ? SetAttributeBool(READER_ATTRIBUTE_AUTO_GOOD_READ_LED, newVal,
                                      events::AutoGoodReadLEDPutFailed)
                   : OpenDevice();
}

HRESULT HVTAXBarCode::get_AutoDataValidLED(VARIANT_BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = autoDataValidLED_;
    HVTLogEvent(events::AutoDataValidLEDGet, Value(autoDataValidLED_), OpenedFlag());
    const HRESULT hr = GetAttributeBool(READER_ATTRIBUTE_AUTO_DATA_VALID_LED, 2,
                                        events::AutoDataValidLEDGetFailed, pVal);
    return hr == kAttributeGetRefused ? S_OK : hr;
}

HRESULT HVTAXBarCode::put_AutoDataValidLED(VARIANT_BOOL newVal) {
    HVTLogEvent(events::AutoDataValidLEDPut, Value(newVal), OpenedFlag());
    HRESULT hr = StoreProperty(kDispAutoDataValidLED, kSetAutoDataValidLED, [&] {
        autoDataValidLED_ = newVal;
        return S_OK;
    });
    if (hr != S_OK) {
        return hr;
    }
    if (opened_) {
        hr = SetAttributeBool(READER_ATTRIBUTE_AUTO_DATA_VALID_LED, newVal,
                              events::AutoDataValidLEDPutFailed);
        if (hr == kAttributeSetRefused) {
            hr = S_OK;
        }
    } else {
        hr = OpenDevice();
    }
    if (FAILED(hr)) {
        HVTLogEvent(events::AutoDataValidLEDPutFailed, static_cast<DWORD>(hr), 0);
    }
    return hr;
}

HRESULT HVTAXBarCode::get_AutoBeep(VARIANT_BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = autoBeep_;
    HVTLogEvent(events::AutoBeepGet, Value(autoBeep_), OpenedFlag());
    const HRESULT hr =
        GetAttributeBool(READER_ATTRIBUTE_AUTO_BEEP, 2, events::AutoBeepGetFailed, pVal);
    return hr == kAttributeGetRefused ? S_OK : hr;
}

HRESULT HVTAXBarCode::put_AutoBeep(VARIANT_BOOL newVal) {
    HVTLogEvent(events::AutoBeepPut, Value(newVal), OpenedFlag());
    HRESULT hr = StoreProperty(kDispAutoBeep, kSetAutoBeep, [&] {
        autoBeep_ = newVal;
        return S_OK;
    });
    if (hr != S_OK) {
        return hr;
    }
    if (!opened_) {
        return OpenDevice();
    }
    hr = SetAttributeBool(READER_ATTRIBUTE_AUTO_BEEP, newVal, events::AutoBeepPutFailed);
    return hr == kAttributeSetRefused ? S_OK : hr;
}

// --- ConvertDataToUnicode, FlushDataOnGridChange, TriggerEnable ---

HRESULT HVTAXBarCode::get_ConvertDataToUnicode(VARIANT_BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = convertDataToUnicode_;
    HVTLogEvent(events::ConvertDataToUnicodeGet, Value(convertDataToUnicode_), 0);
    return S_OK;
}

HRESULT HVTAXBarCode::put_ConvertDataToUnicode(VARIANT_BOOL newVal) {
    HVTLogEvent(events::ConvertDataToUnicodePut, Value(newVal), 0);
    return StoreProperty(kDispConvertDataToUnicode, kSetConvertDataToUnicode, [&] {
        convertDataToUnicode_ = newVal;
        if (channel_) {
            channel_->convertToUnicode = newVal; // the next finished read sees it
        }
        return S_OK;
    });
}

HRESULT HVTAXBarCode::get_FlushDataOnGridChange(VARIANT_BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = flushDataOnGridChange_;
    HVTLogEvent(events::FlushDataOnGridChangeGet, 0, 0);
    return S_OK;
}

HRESULT HVTAXBarCode::put_FlushDataOnGridChange(VARIANT_BOOL newVal) {
    HVTLogEvent(events::FlushDataOnGridChangePut, Value(flushDataOnGridChange_), 0);
    const HRESULT hr = StoreProperty(kDispFlushDataOnGridChange, kSetFlushDataOnGridChange, [&] {
        flushDataOnGridChange_ = newVal;
        return S_OK;
    });
    return hr == S_OK && !opened_ ? OpenDevice() : hr;
}

HRESULT HVTAXBarCode::get_TriggerEnable(VARIANT_BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    HVTLogEvent(events::TriggerEnableGet, OpenedFlag(), 0);
    HRESULT hr = S_OK;
    if (opened_) {
        LONG read = 0;
        hr = DeviceOperation(events::TriggerEnableGetFailed, [&] {
            return reader_->GetAttribute(READER_ATTRIBUTE_TRIGGER, Bytes(&read), sizeof read);
        });
        if (SUCCEEDED(hr)) {
            triggerEnable_ = static_cast<VARIANT_BOOL>(LOWORD(read));
        }
    }
    *pVal = triggerEnable_;
    return hr;
}

HRESULT HVTAXBarCode::put_TriggerEnable(VARIANT_BOOL newVal) {
    HVTLogEvent(events::TriggerEnablePut, Value(newVal), OpenedFlag());
    const HRESULT hr = StoreProperty(kDispTriggerEnable, kSetTriggerEnable, [&] {
        triggerEnable_ = newVal;
        return S_OK;
    });
    if (hr != S_OK) {
        return hr;
    }
    return opened_ ? SetAttributeBool(READER_ATTRIBUTE_TRIGGER, newVal, 0) : OpenDevice();
}

// --- The grid ---

HRESULT HVTAXBarCode::get_DeviceDependentGrid(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = deviceDependentGrid_;
    HVTLogEvent(events::DeviceDependentGridGet, OpenedFlag(), 0);
    if (!opened_) {
        return S_OK;
    }
    const HRESULT hr = DeviceOperation(events::DeviceDependentGridGetFailed, [&] {
        return reader_->GetAttribute(READER_ATTRIBUTE_GRID, Bytes(&gridCache_), sizeof gridCache_);
    });
    if (SUCCEEDED(hr)) {
        *pVal = gridCache_.symbologyMask;
    }
    return hr;
}

HRESULT HVTAXBarCode::put_DeviceDependentGrid(LONG newVal) {
    HVTLogEvent(events::DeviceDependentGridPut, static_cast<DWORD>(newVal), OpenedFlag());
    const HRESULT hr = StoreProperty(kDispDeviceDependentGrid, kSetDeviceDependentGrid, [&] {
        deviceDependentGrid_ = newVal;
        return S_OK;
    });
    if (hr != S_OK || !opened_) {
        return hr;
    }
    return DeviceOperation(events::DeviceDependentGridPutFailed, [&] {
        const LONG old = gridCache_.symbologyMask;
        gridCache_.symbologyMask = newVal;
        const HRESULT set =
            reader_->SetAttribute(READER_ATTRIBUTE_GRID, Bytes(&gridCache_), sizeof gridCache_);
        if (FAILED(set)) {
            gridCache_.symbologyMask = old; // the cache keeps what the reader holds
        }
        return set;
    });
}

HRESULT HVTAXBarCode::get_DeviceIndependentGrid(BSTR* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = deviceIndependentGrid_.copy();
    HVTLogEvent(events::DeviceIndependentGridGet, OpenedFlag(), 0);
    if (opened_) {
        // Refreshes the cache only; the stored name is what the script gets.
        DeviceOperation(events::DeviceIndependentGridGetFailed, [&] {
            return reader_->GetAttribute(READER_ATTRIBUTE_GRID, Bytes(&gridCache_),
                                         sizeof gridCache_);
        });
    }
    return *pVal != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT HVTAXBarCode::put_DeviceIndependentGrid(BSTR newVal) {
    const HRESULT hr = StoreProperty(kDispDeviceIndependentGrid, kSetDeviceIndependentGrid, [&] {
        BSTR copy = ::SysAllocStringLen(newVal, ::SysStringLen(newVal));
        if (copy == nullptr) {
            return E_OUTOFMEMORY;
        }
        deviceIndependentGrid_.reset(copy);
        return S_OK;
    });
    HVTLogEvent(events::DeviceIndependentGridPut, OpenedFlag(), 0);
    if (hr != S_OK || !opened_) {
        return hr;
    }
    return DeviceOperation(0, [&] {
        BYTE saved[kGridNameBytes];
        std::memcpy(saved, &gridCache_, kGridNameBytes);
        // The record has room for 32 characters: a longer name is cut there.
        const size_t length = std::min<size_t>(::SysStringLen(newVal), kGridNameChars);
        std::fill(std::begin(gridCache_.name), std::end(gridCache_.name), L'\0');
        if (length != 0) {
            std::memcpy(gridCache_.name, newVal, length * sizeof(wchar_t));
        }
        gridCache_.nameLength = static_cast<USHORT>(length + 1);
        const HRESULT set =
            reader_->SetAttribute(READER_ATTRIBUTE_GRID, Bytes(&gridCache_), sizeof gridCache_);
        if (FAILED(set)) {
            std::memcpy(&gridCache_, saved, kGridNameBytes);
        }
        return set;
    });
}

// --- Direct commands ---

HRESULT HVTAXBarCode::ControlScanner(VARIANT_BOOL bOn) {
    HVTLogEvent(events::ControlScannerCalled, Value(bOn), OpenedFlag());
    if (!opened_) {
        return S_OK;
    }
    return DeviceOperation(events::ControlScannerFailed,
                           [&] { return reader_->ControlScanner(bOn); });
}

HRESULT HVTAXBarCode::ControlLaserPower(VARIANT_BOOL bOn) {
    HVTLogEvent(events::ControlLaserPowerCalled, Value(bOn), OpenedFlag());
    if (!opened_) {
        return S_OK;
    }
    return SetAttributeBool(READER_ATTRIBUTE_LASER_POWER, bOn, events::ControlLaserPowerFailed);
}

HRESULT HVTAXBarCode::ControlGoodReadLED(VARIANT_BOOL bOn) {
    HVTLogEvent(events::ControlGoodReadLEDCalled, Value(bOn), OpenedFlag());
    if (!opened_) {
        return S_OK;
    }
    return DeviceOperation(events::ControlGoodReadLEDFailed,
                           [&] { return reader_->ControlLED(READER_LED_GOOD_READ, bOn); });
}

HRESULT HVTAXBarCode::ControlDataValidLED(VARIANT_BOOL bOn) {
    HVTLogEvent(events::ControlDataValidLEDCalled, Value(bOn), OpenedFlag());
    if (!opened_) {
        return S_OK;
    }
    return DeviceOperation(events::ControlDataValidLEDFailed,
                           [&] { return reader_->ControlLED(READER_LED_DATA_VALID, bOn); });
}

HRESULT HVTAXBarCode::IssueBeeps(LONG BeepType, SHORT sPitch, SHORT sOnDuration,
                                 SHORT sOffDuration) {
    HVTLogEvent(events::IssueBeepsCalled, OpenedFlag(), 0);
    if (!opened_) {
        return S_OK;
    }
    BeepRecord beep = {BeepType, sPitch, sOnDuration, sOffDuration};
    return DeviceOperation(events::IssueBeepsFailed, [&] { return reader_->IssueBeeps(&beep, 1); });
}

HRESULT HVTAXBarCode::Initialize() {
    OpenDevice(); // a failure leaves its log entries and error information
    HVTLogEvent(events::InitializeDone, 0, 0);
    return S_OK;
}

HRESULT HVTAXBarCode::QueryData(LONG* plTotalBytes, SHORT* psNumMsgs, LONG* plNextMsgSize) {
    if (plTotalBytes == nullptr || psNumMsgs == nullptr || plNextMsgSize == nullptr) {
        return E_POINTER;
    }
    *plTotalBytes = 0;
    *psNumMsgs = 0;
    *plNextMsgSize = 0;
    SetDirty(true);
    if (!opened_ || readAhead_ == VARIANT_FALSE) {
        return S_OK;
    }
    common::ComPtr<IReaderQueue> queue;
    HRESULT hr = reader_->QueryInterface(IID_IReaderQueue, queue.put_void());
    if (FAILED(hr)) {
        return hr;
    }
    return DeviceOperation(
        0, [&] { return queue->QueryData(plTotalBytes, psNumMsgs, plNextMsgSize); });
}

// --- The read path's members ---

HRESULT HVTAXBarCode::PostRead(LONG lBytes, LONG lTimeout) {
    HVTLogEvent(events::PostReadCalled, static_cast<DWORD>(lBytes), static_cast<DWORD>(lTimeout));
    if (!opened_) {
        OpenDevice(); // no read is posted by this call
        return S_OK;
    }
    if (!::IsWindow(channel_->window.load())) {
        // The container took the control's window away: completions need one.
        channel_->window = Window() != nullptr ? Window() : CreateHiddenWindow();
    }
    readBytes_ = lBytes;
    readTimeout_ = lTimeout;
    channel_->readBytes = lBytes;
    channel_->readTimeout = lTimeout;
    ::SetEvent(channel_->requestEvent.get());
    return S_OK;
}

HRESULT HVTAXBarCode::Unload() {
    Teardown();
    return S_OK;
}
