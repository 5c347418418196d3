// The scan desk: what stands in for the scan engine behind the reader
// devices. One named shared block per terminal holds the scans waiting to be
// read, the failures a test or a person wants a device to answer, and each
// device's attributes and counters, so that the reader objects of every
// process, the tests and the HVTScan tool all see the same devices.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "HVTDataServer.h"
#include "common/handle.h"

namespace dataserver {

// A device name is at most this many characters.
inline constexpr size_t kDeviceNameChars = 32;
// One scan carries at most this many bytes.
inline constexpr size_t kScanBytes = 512;
// Scans waiting at once.
inline constexpr size_t kScanSlots = 32;

// One barcode, or one failed read, waiting to be read.
struct Scan {
    std::wstring device;   // empty: the first device that reads takes it
    HRESULT status = S_OK; // a failure status makes the read fail with it
    long symbology = 0;
    long dataType = 0;
    SYSTEMTIME time = {};   // all zero: the time it was put on the desk
    std::vector<BYTE> data; // at most kScanBytes
};

// The operations of a device whose answer can be forced.
enum class Operation : uint32_t {
    Open = 1,
    GetAttribute,
    SetAttribute,
    CancelRead,
    ControlScanner,
    IssueBeeps,
    ControlLED,
    QueryData,
};

// A forced answer: the next `count` calls (-1: every call until cleared) of
// `operation` on `device` (empty: any device) on `attribute` (-1: any; only
// for the attribute operations) answer `status`.
struct Failure {
    std::wstring device;
    Operation operation = Operation::Open;
    long attribute = -1;
    HRESULT status = E_FAIL;
    long count = 1;
};

// What a device holds and what was done to it.
struct DeviceState {
    std::wstring name;
    long opens = 0;
    long mode = 0; // of the last Open
    GridRecord grid = {};
    long trigger = -1;
    long laserPower = 0;
    long autoGoodReadLed = -1;
    long autoDataValidLed = -1;
    long autoBeep = -1;
    long scannerOn = -1;
    long dataValidLed = 0;
    long goodReadLed = 0;
    long readsStarted = 0;
    long readsWaiting = 0; // reads blocked right now
    long cancels = 0;
    long lastFlush = 0;
    long beeps = 0;
    BeepRecord lastBeep = {};
    long attributeSets = 0;
};

struct QueueState {
    long totalBytes = 0;
    short messages = 0;
    long nextSize = 0;
    long nextSymbology = 0;
};

class ScanDesk {
public:
    // Opens (or creates) the terminal's desk; check valid().
    ScanDesk();
    ScanDesk(const ScanDesk&) = delete;
    ScanDesk& operator=(const ScanDesk&) = delete;
    ~ScanDesk();

    bool valid() const noexcept { return view_ != nullptr; }
    // This object made the desk: no other program of the terminal has it open.
    bool created() const noexcept { return created_; }

    // --- For tests and the HVTScan tool ---
    // Puts a scan on the desk; false when the desk is full or the scan too long.
    bool Inject(const Scan& scan);
    bool InjectFailure(const Failure& failure);
    void ClearFailures();
    // Scans, failures and every device's state and counters.
    void Reset();
    std::optional<DeviceState> Device(const std::wstring& name);
    std::vector<DeviceState> Devices();
    long ScansWaiting();
    // Waits until `done` answers true for the named device's state (or its
    // absence), at most `timeoutMs`; true when it did.
    template <typename Done>
    bool WaitForDevice(const std::wstring& name, DWORD timeoutMs, Done done) {
        return WaitUntil(timeoutMs, [&] {
            std::optional<DeviceState> state = Device(name);
            return done(state);
        });
    }

    // --- For the reader objects ---
    HRESULT OpenDevice(const std::wstring& name, long mode);
    // The forced answer for this call, if any (consumes one count).
    HRESULT ForcedStatus(const std::wstring& device, Operation operation, long attribute = -1);
    // Takes the first scan for the device.
    std::optional<Scan> TakeScan(const std::wstring& device);
    // Discards the scans the device would take; answers how many.
    long Flush(const std::wstring& device);
    QueueState Query(const std::wstring& device);
    // Reads and changes a device's state under the desk's lock; false when
    // the device has never been opened.
    template <typename Change> bool UpdateDevice(const std::wstring& name, Change change) {
        return Update(name, [&](DeviceState& state) { change(state); });
    }
    bool ReadDevice(const std::wstring& name, DeviceState& state);

    // A blocked read registers the event that wakes it whenever the desk
    // changes; the slot goes back with EndWait. -1 when every slot is taken
    // (the reader then looks again every so often).
    int BeginWait(const std::wstring& device, DWORD eventSerial);
    void EndWait(int slot);
    // The name of a waiter's wake event in this process.
    static std::wstring WakeEventName(DWORD processId, DWORD serial);

    struct Block; // the shared block's layout

private:
    class Hold;

    template <typename Check> bool WaitUntil(DWORD timeoutMs, Check check);
    bool Update(const std::wstring& name, void (*apply)(DeviceState&, void*), void* context);
    template <typename Apply> bool Update(const std::wstring& name, Apply apply) {
        return Update(
            name, [](DeviceState& s, void* c) { (*static_cast<Apply*>(c))(s); }, &apply);
    }
    // Wakes every registered waiter; under the lock.
    void Changed();

    common::UniqueKernel mutex_;
    common::UniqueKernel mapping_;
    Block* view_ = nullptr;
    bool created_ = false;
};

template <typename Check> bool ScanDesk::WaitUntil(DWORD timeoutMs, Check check) {
    static LONG serials = 0;
    const DWORD serial = 0x80000000u | static_cast<DWORD>(::InterlockedIncrement(&serials));
    common::UniqueKernel wake(::CreateEventW(
        nullptr, FALSE, FALSE, WakeEventName(::GetCurrentProcessId(), serial).c_str()));
    const int slot = BeginWait(L"", serial);
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    bool done = check();
    while (!done) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) {
            break;
        }
        // Without a slot, look again now and then.
        const DWORD slice = slot >= 0 ? static_cast<DWORD>(deadline - now) : 20;
        ::WaitForSingleObject(wake.get(), slice);
        done = check();
    }
    EndWait(slot);
    return done;
}

} // namespace dataserver
