#include "reader_device.h"

#include <algorithm>
#include <cstring>

namespace dataserver {

namespace {

class Lock {
public:
    explicit Lock(CRITICAL_SECTION& section) : section_(section) {
        ::EnterCriticalSection(&section_);
    }
    ~Lock() { ::LeaveCriticalSection(&section_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& section_;
};

// The attributes of a device and the bytes a get and a set move.
struct AttributeSize {
    long id;
    long get;
    long set;
};
constexpr AttributeSize kAttributes[] = {
    {READER_ATTRIBUTE_GRID, sizeof(GridRecord), sizeof(GridRecord)},
    {READER_ATTRIBUTE_TRIGGER, 4, 4},
    {READER_ATTRIBUTE_LASER_POWER, 4, 4},
    {READER_ATTRIBUTE_AUTO_GOOD_READ_LED, 4, 4},
    {READER_ATTRIBUTE_AUTO_DATA_VALID_LED, 2, 4},
    {READER_ATTRIBUTE_AUTO_BEEP, 2, 4},
};

const AttributeSize* FindAttribute(long id) {
    for (const AttributeSize& a : kAttributes) {
        if (a.id == id) {
            return &a;
        }
    }
    return nullptr;
}

// The device's field that holds a 32-bit attribute.
long* AttributeField(DeviceState& state, long id) {
    switch (id) {
    case READER_ATTRIBUTE_TRIGGER:
        return &state.trigger;
    case READER_ATTRIBUTE_LASER_POWER:
        return &state.laserPower;
    case READER_ATTRIBUTE_AUTO_GOOD_READ_LED:
        return &state.autoGoodReadLed;
    case READER_ATTRIBUTE_AUTO_DATA_VALID_LED:
        return &state.autoDataValidLed;
    case READER_ATTRIBUTE_AUTO_BEEP:
        return &state.autoBeep;
    default:
        return nullptr;
    }
}

// Each object's wake event has a name of its own in this process.
LONG g_wakeSerials = 0;

} // namespace

ReaderDevice::ReaderDevice(IUnknown* owner)
    : owner_(owner), wakeSerial_(static_cast<DWORD>(::InterlockedIncrement(&g_wakeSerials))) {
    ::InitializeCriticalSection(&lock_);
    wake_.reset(
        ::CreateEventW(nullptr, FALSE, FALSE,
                       ScanDesk::WakeEventName(::GetCurrentProcessId(), wakeSerial_).c_str()));
}

ReaderDevice::~ReaderDevice() {
    ::DeleteCriticalSection(&lock_);
}

STDMETHODIMP ReaderDevice::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IReaderDevice)) {
        *object = static_cast<IReaderDevice*>(this);
    } else if (IsEqualIID(iid, IID_IReaderQueue)) {
        *object = static_cast<IReaderQueue*>(this);
    } else {
        return owner_->QueryInterface(iid, object);
    }
    AddRef();
    return S_OK;
}

std::wstring ReaderDevice::OpenName() {
    Lock hold(lock_);
    return name_;
}

HRESULT ReaderDevice::Forced(const std::wstring& name, Operation operation, long attribute) {
    return desk_.ForcedStatus(name, operation, attribute);
}

STDMETHODIMP ReaderDevice::Open(BSTR deviceName, LONG mode) {
    try {
        const std::wstring name(deviceName != nullptr ? deviceName : L"",
                                ::SysStringLen(deviceName));
        if (mode != READER_MODE_SINGLE && mode != READER_MODE_READ_AHEAD) {
            return E_INVALIDARG;
        }
        HRESULT hr = Forced(name, Operation::Open);
        if (FAILED(hr)) {
            return hr;
        }
        hr = desk_.OpenDevice(name, mode);
        if (SUCCEEDED(hr)) {
            Lock hold(lock_);
            name_ = name;
            mode_ = mode;
        }
        return hr;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP ReaderDevice::Read(unsigned char* buffer, LONG bufferSize, LONG* byteCount,
                                ReadInfo* info, LONG timeout) {
    if (buffer == nullptr || byteCount == nullptr || info == nullptr) {
        return E_POINTER;
    }
    if (bufferSize <= 0) {
        return E_INVALIDARG;
    }
    try {
        std::wstring name;
        {
            Lock hold(lock_);
            if (name_.empty()) {
                return READER_E_NOT_OPEN;
            }
            if (reading_) {
                return READER_E_READ_BUSY;
            }
            name = name_;
            reading_ = true;
            cancel_ = false;
        }
        desk_.UpdateDevice(name, [](DeviceState& s) { ++s.readsStarted; });
        const int slot = desk_.BeginWait(name, wakeSerial_);
        const ULONGLONG deadline =
            timeout > 0 ? ::GetTickCount64() + static_cast<ULONGLONG>(timeout) : 0;
        HRESULT hr = S_OK;
        std::optional<Scan> scan;
        for (;;) {
            {
                Lock hold(lock_);
                if (cancel_) {
                    hr = READER_E_READ_CANCELLED;
                    break;
                }
            }
            scan = desk_.TakeScan(name);
            if (scan) {
                break;
            }
            DWORD wait = INFINITE;
            if (deadline != 0) {
                const ULONGLONG now = ::GetTickCount64();
                if (now >= deadline) {
                    hr = READER_E_READ_TIMEOUT;
                    break;
                }
                wait = static_cast<DWORD>(deadline - now);
            }
            // Without a waiter slot the desk cannot wake this read: look again soon.
            if (slot < 0) {
                wait = std::min<DWORD>(wait, 20);
            }
            ::WaitForSingleObject(wake_.get(), wait);
        }
        desk_.EndWait(slot);
        {
            Lock hold(lock_);
            reading_ = false;
            cancel_ = false;
            if (scan) {
                ++reads_;
            }
        }
        *byteCount = 0;
        if (!scan) {
            return hr;
        }
        const size_t n = std::min(scan->data.size(), static_cast<size_t>(bufferSize));
        std::copy_n(scan->data.begin(), n, buffer);
        *byteCount = static_cast<LONG>(n);
        info->symbology = scan->symbology;
        info->dataType = scan->dataType;
        info->time = scan->time;
        return scan->status;
    } catch (...) {
        Lock hold(lock_);
        reading_ = false;
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP ReaderDevice::CancelRead(LONG flush, LONG* readsCancelled, LONG* scansFlushed) {
    try {
        const std::wstring name = OpenName();
        if (name.empty()) {
            return READER_E_NOT_OPEN;
        }
        const HRESULT hr = Forced(name, Operation::CancelRead);
        if (FAILED(hr)) {
            return hr;
        }
        LONG cancelled = 0;
        {
            Lock hold(lock_);
            if (reading_) {
                cancel_ = true;
                cancelled = 1;
                ::SetEvent(wake_.get());
            }
        }
        const LONG flushed = flush != 0 ? desk_.Flush(name) : 0;
        desk_.UpdateDevice(name, [flush](DeviceState& s) {
            ++s.cancels;
            s.lastFlush = flush;
        });
        if (readsCancelled != nullptr) {
            *readsCancelled = cancelled;
        }
        if (scansFlushed != nullptr) {
            *scansFlushed = flushed;
        }
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP ReaderDevice::GetAttribute(LONG attribute, unsigned char* buffer, LONG size) {
    if (buffer == nullptr) {
        return E_POINTER;
    }
    try {
        const std::wstring name = OpenName();
        if (name.empty()) {
            return READER_E_NOT_OPEN;
        }
        const HRESULT hr = Forced(name, Operation::GetAttribute, attribute);
        if (FAILED(hr)) {
            return hr;
        }
        const AttributeSize* known = FindAttribute(attribute);
        if (known == nullptr) {
            return READER_E_ATTRIBUTE_GET;
        }
        if (size != known->get) {
            return E_INVALIDARG;
        }
        DeviceState state;
        if (!desk_.ReadDevice(name, state)) {
            return READER_E_NOT_OPEN;
        }
        if (attribute == READER_ATTRIBUTE_GRID) {
            std::memcpy(buffer, &state.grid, sizeof state.grid);
        } else if (size == 2) {
            const short value = static_cast<short>(*AttributeField(state, attribute));
            std::memcpy(buffer, &value, sizeof value);
        } else {
            const LONG value = *AttributeField(state, attribute);
            std::memcpy(buffer, &value, sizeof value);
        }
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP ReaderDevice::SetAttribute(LONG attribute, unsigned char* buffer, LONG size) {
    if (buffer == nullptr) {
        return E_POINTER;
    }
    try {
        const std::wstring name = OpenName();
        if (name.empty()) {
            return READER_E_NOT_OPEN;
        }
        const HRESULT hr = Forced(name, Operation::SetAttribute, attribute);
        if (FAILED(hr)) {
            return hr;
        }
        const AttributeSize* known = FindAttribute(attribute);
        if (known == nullptr) {
            return READER_E_ATTRIBUTE_SET;
        }
        if (size != known->set) {
            return E_INVALIDARG;
        }
        GridRecord grid = {};
        LONG value = 0;
        if (attribute == READER_ATTRIBUTE_GRID) {
            std::memcpy(&grid, buffer, sizeof grid);
            if (grid.nameLength > kDeviceNameChars + 1) {
                return E_INVALIDARG; // a name that overruns the record
            }
        } else {
            std::memcpy(&value, buffer, sizeof value);
        }
        const bool known_device = desk_.UpdateDevice(name, [&](DeviceState& s) {
            ++s.attributeSets;
            if (attribute == READER_ATTRIBUTE_GRID) {
                s.grid = grid;
            } else {
                *AttributeField(s, attribute) = value;
            }
        });
        return known_device ? S_OK : READER_E_NOT_OPEN;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP ReaderDevice::ControlScanner(LONG on) {
    try {
        const std::wstring name = OpenName();
        if (name.empty()) {
            return READER_E_NOT_OPEN;
        }
        const HRESULT hr = Forced(name, Operation::ControlScanner);
        if (FAILED(hr)) {
            return hr;
        }
        desk_.UpdateDevice(name, [on](DeviceState& s) { s.scannerOn = on; });
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP ReaderDevice::IssueBeeps(BeepRecord* beeps, LONG count) {
    if (beeps == nullptr) {
        return E_POINTER;
    }
    if (count <= 0) {
        return E_INVALIDARG;
    }
    try {
        const std::wstring name = OpenName();
        if (name.empty()) {
            return READER_E_NOT_OPEN;
        }
        const HRESULT hr = Forced(name, Operation::IssueBeeps);
        if (FAILED(hr)) {
            return hr;
        }
        const BeepRecord last = beeps[count - 1];
        desk_.UpdateDevice(name, [&](DeviceState& s) {
            s.beeps += count;
            s.lastBeep = last;
        });
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP ReaderDevice::Close() {
    try {
        Lock hold(lock_);
        if (name_.empty()) {
            return READER_E_NOT_OPEN;
        }
        name_.clear();
        mode_ = 0;
        if (reading_) {
            cancel_ = true;
            ::SetEvent(wake_.get());
        }
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP ReaderDevice::ControlLED(LONG led, LONG on) {
    if (led != READER_LED_DATA_VALID && led != READER_LED_GOOD_READ) {
        return E_INVALIDARG;
    }
    try {
        const std::wstring name = OpenName();
        if (name.empty()) {
            return READER_E_NOT_OPEN;
        }
        const HRESULT hr = Forced(name, Operation::ControlLED);
        if (FAILED(hr)) {
            return hr;
        }
        desk_.UpdateDevice(name, [led, on](DeviceState& s) {
            (led == READER_LED_DATA_VALID ? s.dataValidLed : s.goodReadLed) = on;
        });
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP ReaderDevice::FlushQueue() {
    try {
        const std::wstring name = OpenName();
        if (name.empty()) {
            return READER_E_NOT_OPEN;
        }
        desk_.Flush(name);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP ReaderDevice::GetQueueCapacity(LONG* messages) {
    if (messages == nullptr) {
        return E_POINTER;
    }
    *messages = static_cast<LONG>(kScanSlots);
    return S_OK;
}

STDMETHODIMP ReaderDevice::GetOpenMode(LONG* mode) {
    if (mode == nullptr) {
        return E_POINTER;
    }
    Lock hold(lock_);
    *mode = mode_;
    return S_OK;
}

STDMETHODIMP ReaderDevice::GetOpenName(BSTR* deviceName) {
    if (deviceName == nullptr) {
        return E_POINTER;
    }
    Lock hold(lock_);
    *deviceName = ::SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()));
    return *deviceName != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP ReaderDevice::GetReadCount(LONG* reads) {
    if (reads == nullptr) {
        return E_POINTER;
    }
    Lock hold(lock_);
    *reads = reads_;
    return S_OK;
}

STDMETHODIMP ReaderDevice::PeekNextSymbology(LONG* symbology) {
    if (symbology == nullptr) {
        return E_POINTER;
    }
    try {
        const std::wstring name = OpenName();
        if (name.empty()) {
            return READER_E_NOT_OPEN;
        }
        *symbology = desk_.Query(name).nextSymbology;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP ReaderDevice::QueryData(LONG* totalBytes, short* messageCount, LONG* nextMessageSize) {
    if (totalBytes == nullptr || messageCount == nullptr || nextMessageSize == nullptr) {
        return E_POINTER;
    }
    try {
        const std::wstring name = OpenName();
        if (name.empty()) {
            return READER_E_NOT_OPEN;
        }
        const HRESULT hr = Forced(name, Operation::QueryData);
        if (FAILED(hr)) {
            return hr;
        }
        const QueueState queue = desk_.Query(name);
        *totalBytes = queue.totalBytes;
        *messageCount = queue.messages;
        *nextMessageSize = queue.nextSize;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

} // namespace dataserver
