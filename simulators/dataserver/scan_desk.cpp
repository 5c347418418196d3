#include "scan_desk.h"

#include <algorithm>
#include <cwchar>

namespace dataserver {

namespace {

const wchar_t kBlockName[] = L"HVTBarCodeReader.ScanDesk";
const wchar_t kLockName[] = L"HVTBarCodeReader.ScanDeskLock";

constexpr size_t kFailureSlots = 16;
constexpr size_t kDeviceSlots = 16;
constexpr size_t kWaiterSlots = 32;

// Fixed-size names in the block: at most 32 characters and a zero.
using Name = wchar_t[kDeviceNameChars + 1];

void SetName(Name& name, const std::wstring& text) {
    const size_t n = std::min(text.size(), kDeviceNameChars);
    std::wmemcpy(name, text.data(), n);
    name[n] = L'\0';
}

bool SameName(const Name& name, const std::wstring& text) {
    return text.size() <= kDeviceNameChars && std::wcslen(name) == text.size() &&
           std::wmemcmp(name, text.data(), text.size()) == 0;
}

} // namespace

struct ScanDesk::Block {
    struct DeskScan {
        Name device;
        int32_t status;
        int32_t symbology;
        int32_t dataType;
        SYSTEMTIME time;
        uint32_t size;
        BYTE data[kScanBytes];
    };
    struct DeskFailure {
        uint32_t used;
        Name device;
        uint32_t operation;
        int32_t attribute;
        int32_t status;
        int32_t count;
    };
    struct DeskDevice {
        uint32_t used;
        Name name;
        int32_t opens, mode, trigger, laserPower, autoGoodReadLed, autoDataValidLed, autoBeep,
            scannerOn, dataValidLed, goodReadLed, readsStarted, cancels, lastFlush, beeps,
            attributeSets;
        GridRecord grid;
        BeepRecord lastBeep;
    };
    struct DeskWaiter {
        uint32_t used;
        uint32_t processId;
        uint32_t serial;
        Name device;
    };

    uint32_t scanCount; // scans[0] is the oldest
    DeskScan scans[kScanSlots];
    DeskFailure failures[kFailureSlots];
    DeskDevice devices[kDeviceSlots];
    DeskWaiter waiters[kWaiterSlots];

    DeskDevice* FindDevice(const std::wstring& name) {
        for (DeskDevice& d : devices) {
            if (d.used != 0 && SameName(d.name, name)) {
                return &d;
            }
        }
        return nullptr;
    }
};

// The desk's lock, held for the life of the object.
class ScanDesk::Hold {
public:
    explicit Hold(HANDLE mutex) : mutex_(mutex) {
        const DWORD wait = ::WaitForSingleObject(mutex_, INFINITE);
        held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
    ~Hold() {
        if (held_) {
            ::ReleaseMutex(mutex_);
        }
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    explicit operator bool() const noexcept { return held_; }

private:
    HANDLE mutex_;
    bool held_ = false;
};

namespace {

using DeskDevice = ScanDesk::Block::DeskDevice;

void Load(const DeskDevice& d, DeviceState& state) {
    state.name = d.name;
    state.opens = d.opens;
    state.mode = d.mode;
    state.grid = d.grid;
    state.trigger = d.trigger;
    state.laserPower = d.laserPower;
    state.autoGoodReadLed = d.autoGoodReadLed;
    state.autoDataValidLed = d.autoDataValidLed;
    state.autoBeep = d.autoBeep;
    state.scannerOn = d.scannerOn;
    state.dataValidLed = d.dataValidLed;
    state.goodReadLed = d.goodReadLed;
    state.readsStarted = d.readsStarted;
    state.cancels = d.cancels;
    state.lastFlush = d.lastFlush;
    state.beeps = d.beeps;
    state.lastBeep = d.lastBeep;
    state.attributeSets = d.attributeSets;
}

void Store(const DeviceState& state, DeskDevice& d) {
    d.opens = state.opens;
    d.mode = state.mode;
    d.grid = state.grid;
    d.trigger = state.trigger;
    d.laserPower = state.laserPower;
    d.autoGoodReadLed = state.autoGoodReadLed;
    d.autoDataValidLed = state.autoDataValidLed;
    d.autoBeep = state.autoBeep;
    d.scannerOn = state.scannerOn;
    d.dataValidLed = state.dataValidLed;
    d.goodReadLed = state.goodReadLed;
    d.readsStarted = state.readsStarted;
    d.cancels = state.cancels;
    d.lastFlush = state.lastFlush;
    d.beeps = state.beeps;
    d.lastBeep = state.lastBeep;
    d.attributeSets = state.attributeSets;
}

} // namespace

ScanDesk::ScanDesk() {
    mutex_.reset(::CreateMutexW(nullptr, FALSE, kLockName));
    // A new mapping is zero-filled: an empty desk.
    mapping_.reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(Block), kBlockName));
    created_ = mapping_ && ::GetLastError() != ERROR_ALREADY_EXISTS;
    if (mutex_ && mapping_) {
        view_ = static_cast<Block*>(
            ::MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Block)));
    }
}

ScanDesk::~ScanDesk() {
    if (view_ != nullptr) {
        ::UnmapViewOfFile(view_);
    }
}

std::wstring ScanDesk::WakeEventName(DWORD processId, DWORD serial) {
    wchar_t name[80];
    std::swprintf(name, 80, L"HVTBarCodeReader.Wake.%lu.%lu", static_cast<unsigned long>(processId),
                  static_cast<unsigned long>(serial));
    return name;
}

void ScanDesk::Changed() {
    for (Block::DeskWaiter& w : view_->waiters) {
        if (w.used == 0) {
            continue;
        }
        common::UniqueKernel wake(
            ::OpenEventW(EVENT_MODIFY_STATE, FALSE, WakeEventName(w.processId, w.serial).c_str()));
        if (wake) {
            ::SetEvent(wake.get());
        } else {
            w.used = 0; // its process has gone
        }
    }
}

bool ScanDesk::Inject(const Scan& scan) {
    if (!valid() || scan.data.size() > kScanBytes || scan.device.size() > kDeviceNameChars) {
        return false;
    }
    Hold hold(mutex_.get());
    if (!hold || view_->scanCount >= kScanSlots) {
        return false;
    }
    Block::DeskScan& s = view_->scans[view_->scanCount];
    SetName(s.device, scan.device);
    s.status = scan.status;
    s.symbology = scan.symbology;
    s.dataType = scan.dataType;
    s.time = scan.time;
    if (s.time.wYear == 0) {
        ::GetLocalTime(&s.time);
    }
    s.size = static_cast<uint32_t>(scan.data.size());
    std::copy(scan.data.begin(), scan.data.end(), s.data);
    ++view_->scanCount;
    Changed();
    return true;
}

bool ScanDesk::InjectFailure(const Failure& failure) {
    if (!valid() || failure.device.size() > kDeviceNameChars) {
        return false;
    }
    Hold hold(mutex_.get());
    if (!hold) {
        return false;
    }
    for (Block::DeskFailure& f : view_->failures) {
        if (f.used == 0) {
            f.used = 1;
            SetName(f.device, failure.device);
            f.operation = static_cast<uint32_t>(failure.operation);
            f.attribute = failure.attribute;
            f.status = failure.status;
            f.count = failure.count;
            return true;
        }
    }
    return false;
}

void ScanDesk::ClearFailures() {
    if (!valid()) {
        return;
    }
    Hold hold(mutex_.get());
    for (Block::DeskFailure& f : view_->failures) {
        f.used = 0;
    }
}

void ScanDesk::Reset() {
    if (!valid()) {
        return;
    }
    Hold hold(mutex_.get());
    view_->scanCount = 0;
    for (Block::DeskFailure& f : view_->failures) {
        f.used = 0;
    }
    for (Block::DeskDevice& d : view_->devices) {
        d.used = 0;
    }
    Changed();
}

bool ScanDesk::ReadDevice(const std::wstring& name, DeviceState& state) {
    if (!valid()) {
        return false;
    }
    Hold hold(mutex_.get());
    Block::DeskDevice* d = view_->FindDevice(name);
    if (!hold || d == nullptr) {
        return false;
    }
    Load(*d, state);
    state.readsWaiting = 0;
    for (const Block::DeskWaiter& w : view_->waiters) {
        if (w.used != 0 && SameName(w.device, name)) {
            ++state.readsWaiting;
        }
    }
    return true;
}

bool ScanDesk::Update(const std::wstring& name, void (*apply)(DeviceState&, void*), void* context) {
    if (!valid()) {
        return false;
    }
    Hold hold(mutex_.get());
    Block::DeskDevice* d = view_->FindDevice(name);
    if (!hold || d == nullptr) {
        return false;
    }
    DeviceState state;
    Load(*d, state);
    apply(state, context);
    Store(state, *d);
    Changed();
    return true;
}

std::optional<DeviceState> ScanDesk::Device(const std::wstring& name) {
    DeviceState state;
    if (!ReadDevice(name, state)) {
        return std::nullopt;
    }
    return state;
}

std::vector<DeviceState> ScanDesk::Devices() {
    std::vector<std::wstring> names;
    if (valid()) {
        Hold hold(mutex_.get());
        for (const Block::DeskDevice& d : view_->devices) {
            if (d.used != 0) {
                names.emplace_back(d.name);
            }
        }
    }
    std::vector<DeviceState> states;
    for (const std::wstring& name : names) {
        if (std::optional<DeviceState> state = Device(name)) {
            states.push_back(*state);
        }
    }
    return states;
}

long ScanDesk::ScansWaiting() {
    if (!valid()) {
        return 0;
    }
    Hold hold(mutex_.get());
    return static_cast<long>(view_->scanCount);
}

HRESULT ScanDesk::OpenDevice(const std::wstring& name, long mode) {
    if (!valid()) {
        return E_OUTOFMEMORY;
    }
    if (name.empty() || name.size() > kDeviceNameChars) {
        return E_INVALIDARG;
    }
    Hold hold(mutex_.get());
    Block::DeskDevice* d = view_->FindDevice(name);
    if (d == nullptr) {
        for (Block::DeskDevice& free : view_->devices) {
            if (free.used == 0) {
                // A device as it comes from the factory.
                free = {};
                free.used = 1;
                SetName(free.name, name);
                free.trigger = -1;
                free.autoGoodReadLed = -1;
                free.autoDataValidLed = -1;
                free.autoBeep = -1;
                free.scannerOn = -1;
                free.grid.nameLength = 1;
                free.grid.symbologyMask = -1;
                free.grid.further = 1;
                d = &free;
                break;
            }
        }
    }
    if (d == nullptr) {
        return E_OUTOFMEMORY;
    }
    ++d->opens;
    d->mode = mode;
    Changed();
    return S_OK;
}

HRESULT ScanDesk::ForcedStatus(const std::wstring& device, Operation operation, long attribute) {
    if (!valid()) {
        return S_OK;
    }
    Hold hold(mutex_.get());
    for (Block::DeskFailure& f : view_->failures) {
        if (f.used == 0 || f.operation != static_cast<uint32_t>(operation) ||
            (f.device[0] != L'\0' && !SameName(f.device, device)) ||
            (f.attribute != -1 && f.attribute != attribute)) {
            continue;
        }
        const HRESULT status = f.status;
        if (f.count > 0 && --f.count == 0) {
            f.used = 0;
        }
        return status;
    }
    return S_OK;
}

std::optional<Scan> ScanDesk::TakeScan(const std::wstring& device) {
    if (!valid()) {
        return std::nullopt;
    }
    Hold hold(mutex_.get());
    for (uint32_t i = 0; i < view_->scanCount; ++i) {
        Block::DeskScan& s = view_->scans[i];
        if (s.device[0] != L'\0' && !SameName(s.device, device)) {
            continue;
        }
        Scan scan;
        scan.device = s.device;
        scan.status = s.status;
        scan.symbology = s.symbology;
        scan.dataType = s.dataType;
        scan.time = s.time;
        scan.data.assign(s.data, s.data + std::min<uint32_t>(s.size, kScanBytes));
        std::copy(view_->scans + i + 1, view_->scans + view_->scanCount, view_->scans + i);
        --view_->scanCount;
        Changed();
        return scan;
    }
    return std::nullopt;
}

long ScanDesk::Flush(const std::wstring& device) {
    if (!valid()) {
        return 0;
    }
    Hold hold(mutex_.get());
    long flushed = 0;
    uint32_t kept = 0;
    for (uint32_t i = 0; i < view_->scanCount; ++i) {
        Block::DeskScan& s = view_->scans[i];
        if (s.device[0] == L'\0' || SameName(s.device, device)) {
            ++flushed;
        } else {
            if (kept != i) {
                view_->scans[kept] = s;
            }
            ++kept;
        }
    }
    view_->scanCount = kept;
    Changed();
    return flushed;
}

QueueState ScanDesk::Query(const std::wstring& device) {
    QueueState queue;
    if (!valid()) {
        return queue;
    }
    Hold hold(mutex_.get());
    for (uint32_t i = 0; i < view_->scanCount; ++i) {
        const Block::DeskScan& s = view_->scans[i];
        if (s.device[0] != L'\0' && !SameName(s.device, device)) {
            continue;
        }
        if (queue.messages == 0) {
            queue.nextSize = static_cast<long>(s.size);
            queue.nextSymbology = s.symbology;
        }
        ++queue.messages;
        queue.totalBytes += static_cast<long>(s.size);
    }
    return queue;
}

int ScanDesk::BeginWait(const std::wstring& device, DWORD eventSerial) {
    if (!valid()) {
        return -1;
    }
    Hold hold(mutex_.get());
    for (size_t i = 0; i < kWaiterSlots; ++i) {
        Block::DeskWaiter& w = view_->waiters[i];
        if (w.used == 0) {
            w.used = 1;
            w.processId = ::GetCurrentProcessId();
            w.serial = eventSerial;
            SetName(w.device, device);
            Changed();
            return static_cast<int>(i);
        }
    }
    return -1;
}

void ScanDesk::EndWait(int slot) {
    if (!valid() || slot < 0 || static_cast<size_t>(slot) >= kWaiterSlots) {
        return;
    }
    Hold hold(mutex_.get());
    view_->waiters[slot].used = 0;
    Changed();
}

} // namespace dataserver
