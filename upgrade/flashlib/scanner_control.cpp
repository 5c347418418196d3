#include "scanner_control.h"

#include <windows.h>

#include <iterator>

#include "HVTEventLog.h"
#include "logfile.h"
#include "sysio.h"
#include "upgrade_events.h"

namespace ev = hvt::upgrade;

namespace {

// The lines these requests write to the library log, with their site numbers.
enum class Text {
    PowerDownFailed,
    PowerUpFailed,
    PowerDownSettle,
    PowerUpSettle,
    FlashMode,
    ScanningMode,
    FlashModeFailed,
    ScanningModeFailed,
    ModeSettle,
    Count
};

struct LogText {
    Text id;
    int site;
    const char* format;
};

constexpr LogText Texts[] = {
    {Text::PowerDownFailed, 300, "ERROR: PowerDownScanner(), 0x%x=sysIo.SetScanPower(%d) failed\r"},
    {Text::PowerUpFailed, 301, "ERROR: PowerUpScanner(), 0x%x=sysIo.SetScanPower(%d) failed\r"},
    {Text::PowerDownSettle, 302,
     "PowerDownScanner(), Sleep for 500milliseconds to give scanner a chance to change state\r"},
    {Text::PowerUpSettle, 303,
     "PowerDownScanner(), Sleep for 500milliseconds to give scanner a chance to change state\r"},
    {Text::FlashMode, 304, "SetScannerMode(), Placing scanner in flash mode: %d\r"},
    {Text::ScanningMode, 305, "SetScannerMode(), Placing scanner in scanning mode: %d\r"},
    {Text::FlashModeFailed, 306, "ERROR: SetScannerMode(), Setting scanner to flash mode\r"},
    {Text::ScanningModeFailed, 307, "ERROR: SetScannerMode(), Setting scanner to scanning mode\r"},
    {Text::ModeSettle, 308,
     "SetScannerMode(), Sleep for 500milliseconds to give scanner a chance to change state\r"},
};

constexpr bool TextsInOrder() {
    for (size_t i = 0; i < std::size(Texts); ++i) {
        if (static_cast<size_t>(Texts[i].id) != i) {
            return false;
        }
    }
    return std::size(Texts) == static_cast<size_t>(Text::Count);
}
static_assert(TextsInOrder(), "one text per statement, in the order of Text");

template <typename... Args> void Log(Text text, Args... args) {
    const LogText& entry = Texts[static_cast<size_t>(text)];
    LogLine(entry.site, entry.format, args...);
}

struct PowerRequest {
    int on;
    DWORD requested;
    DWORD failed;
    Text failedText;
    Text settleText;
};

constexpr PowerRequest PowerDown{0, ev::PowerDownRequested, ev::PowerDownFailed,
                                 Text::PowerDownFailed, Text::PowerDownSettle};
constexpr PowerRequest PowerUp{1, ev::PowerUpRequested, ev::PowerUpFailed, Text::PowerUpFailed,
                               Text::PowerUpSettle};

void SetPower(const PowerRequest& request) {
    sysIo io;
    HVTLogEvent(request.requested, 0, 0);
    LONG status = io.SetScanPower(request.on);
    if (status < 0) {
        Log(request.failedText, static_cast<unsigned>(status), request.on);
        HVTLogEvent(request.failed, static_cast<DWORD>(status), 0);
    }
    Log(request.settleText);
    ::Sleep(ScannerSettleMs);
}

} // namespace

void PowerDownScanner() {
    SetPower(PowerDown);
}

void PowerUpScanner() {
    SetPower(PowerUp);
}

void SetScannerMode(int mode) {
    sysIo io;
    bool flash = mode != 0;
    if (flash) {
        Log(Text::FlashMode, mode);
        HVTLogEvent(ev::FlashModeRequested, static_cast<DWORD>(mode), 0);
    } else {
        Log(Text::ScanningMode, mode);
        HVTLogEvent(ev::ScanningModeRequested, 0, 0);
    }
    if (io.SetScanMode(mode) < 0) {
        Log(flash ? Text::FlashModeFailed : Text::ScanningModeFailed);
        HVTLogEvent(flash ? ev::FlashModeFailed : ev::ScanningModeFailed, 0, 0);
    }
    Log(Text::ModeSettle);
    ::Sleep(ScannerSettleMs);
}
