// The library's two entry points: one complete run with the scan engine each.
// Check the files, power the engine down, select flash mode, take over and
// set up its port, power it up, run the protocol, give the port back (or
// close it), power the engine down and return it to scanning mode.
#include "q4mupgrade.h"

#include <iterator>

#include "HVTEventLog.h"
#include "common/handle.h"
#include "engine_port.h"
#include "logfile.h"
#include "protocol.h"
#include "scanner_control.h"
#include "upgrade_events.h"

namespace ev = hvt::upgrade;

namespace {

// The statements of a run; each road has its own text and site number for
// each, or none.
enum class Line {
    Entry,
    ImageMissing,
    ImageFound,
    DriverMissing,
    DriverFound,
    PowerDown,
    FlashMode,
    UnderDataServer,
    RetrieveSettings,
    SavedSettings,
    CloseCallerHandle,
    CreateFile,
    CreatedFile,
    NewSettings,
    Timeouts,
    PowerUp,
    UpgradeSucceeded,
    ExtractStart,
    DownloadFailed,
    ReadFailed,
    RemoveFailed,
    RestoreSettings,
    RestoredSettings,
    ClosingPort,
    FinalPowerDown,
    ScanMode,
    Exit,
    Count
};

struct LineText {
    Line id;
    int site;
    const char* format; // null: the road has no such line
};

constexpr LineText UpgradeTexts[] = {
    {Line::Entry, 100, "UpgradeQ4M(port=0x%x) entry\r"},
    {Line::ImageMissing, 101, "UpgradeQ4M(), %s was not found.\r"},
    {Line::ImageFound, 102, "UpgradeQ4M(), %s was found\r"},
    {Line::DriverMissing, 103, "UpgradeQ4M(), %s was not found.\r"},
    {Line::DriverFound, 104, "UpgradeQ4M(), %s was found\r"},
    {Line::PowerDown, 105, "UpgradeQ4M(), Power down scanner\r"},
    {Line::FlashMode, 106, "UpgradeQ4M(), Set scanner mode to accept download\r"},
    {Line::UnderDataServer, 107, "UpgradeQ4M(), Running under data server\r"},
    {Line::RetrieveSettings, 108, "UpgradeQ4M(), Retrieve data server serial config\r"},
    {Line::SavedSettings, 109,
     "UpgradeQ4M(), Saved serial settings: baud(%d), parity(%d), stopbits(%d), databits(%d)\r"},
    {Line::CloseCallerHandle, 110,
     "UpgradeQ4M(), Now close handle so that upgrade can take control\r"},
    {Line::CreateFile, 111, "UpgradeQ4M(), CreateFile(%s)\r"},
    {Line::CreatedFile, 112, "UpgradeQ4M(), 0x%x=CreateFile(%s)\r"},
    {Line::NewSettings, 113,
     "UpgradeQ4M(), New settings: baud(%d), parity(%d), stopbits(%d), databits(%d)\r"},
    {Line::Timeouts, 114,
     "UpgradeQ4M(), Serial timeouts: \r\tReadTotalTimeoutConstant=%d\r\tReadIntervalTimeout=%d\r"
     "\tReadTotalTimeoutMultiplier=%d\r\tWriteTotalTimeoutConstant=%d\r"
     "\tWriteTotalTimeoutMultiplier=%d\r"},
    {Line::PowerUp, 115, "UpgradeQ4M(), Power up scanner\r"},
    {Line::UpgradeSucceeded, 116, "UpgradeQ4M(), 0x%x=Upgrade(0x%x, %s, %s) successful\r"},
    {Line::ExtractStart, 0, nullptr},
    {Line::DownloadFailed, 0, nullptr},
    {Line::ReadFailed, 0, nullptr},
    {Line::RemoveFailed, 0, nullptr},
    {Line::RestoreSettings, 117,
     "UpgradeQ4M(), Data server run. Attempting to restore serial params\r"},
    {Line::RestoredSettings, 118,
     "UpgradeQ4M(), Restored serial params: baud=%d, databits=%d, stopbits=%d, parity=%d\r"},
    {Line::ClosingPort, 119, "UpgradeQ4M(), Closing port resource\r"},
    {Line::FinalPowerDown, 120, "UpgradeQ4M(), Power down scanner\r"},
    {Line::ScanMode, 121, "UpgradeQ4M(), Set scanner to scan mode\r"},
    {Line::Exit, 122, "UpgradeQ4M() exit\r"},
};

constexpr LineText ExtractTexts[] = {
    {Line::Entry, 150, "ExtractQ4M(port=0x%x) entry\r"},
    {Line::ImageMissing, 151, "ExtractQ4M(), %s was not found. No real time check available\r"},
    {Line::ImageFound, 0, nullptr},
    {Line::DriverMissing, 152, "ExtractQ4M(), %s was not found.\r"},
    {Line::DriverFound, 153, "ExtractQ4M(), %s was found\r"},
    {Line::PowerDown, 154, "ExtractQ4M(), Power down scanner\r"},
    {Line::FlashMode, 155, "ExtractQ4M(), Set scanner mode to accept download\r"},
    {Line::UnderDataServer, 156, "ExtractQ4M(), Running under data server\r"},
    {Line::RetrieveSettings, 157, "ExtractQ4M(), Retrieve current serial settings\r"},
    {Line::SavedSettings, 158,
     "ExtractQ4M(), Saved serial settings: baud(%d), parity(%d), stopbits(%d), databits(%d)\r"},
    {Line::CloseCallerHandle, 159,
     "ExtractQ4M(), Now close handle so that upgrade can take control\r"},
    {Line::CreateFile, 160, "ExtractQ4M(), CreateFile(%s)\r"},
    {Line::CreatedFile, 161, "ExtractQ4M(), 0x%x=CreateFile(%s)\r"},
    {Line::NewSettings, 162,
     "ExtractQ4M(), New settings: baud(%d), parity(%d), stopbits(%d), databits(%d)\r"},
    {Line::Timeouts, 163,
     "ExtractQ4M(), Serial timeouts: \r\tReadTotalTimeoutConstant=%d\r\tReadIntervalTimeout=%d\r"
     "\tReadTotalTimeoutMultiplier=%d\r\tWriteTotalTimeoutConstant=%d\r"
     "\tWriteTotalTimeoutMultiplier=%d\r"},
    {Line::PowerUp, 164, "ExtractQ4M(), Power up scanner\r"},
    {Line::UpgradeSucceeded, 0, nullptr},
    {Line::ExtractStart, 165, "ExtractQ4M(0x%x, %s, %s)\r"},
    {Line::DownloadFailed, 166,
     "ExtractQ4M(), ERROR downloading flash driver: hostcopy=%s flash_size=%d, flashver=%s\r\n"},
    {Line::ReadFailed, 167,
     "ExtractQ4M(), ERROR reading flash: hostcopy=%s flash_size=%d, flashver=%s\r\n"},
    {Line::RemoveFailed, 168, "ERROR: ExtractQ4M(), removing flash driver\r"},
    {Line::RestoreSettings, 169,
     "ExtractQ4M(), Data server run. Attempting to restore serial params\r"},
    {Line::RestoredSettings, 170,
     "ExtractQ4M(), Restored serial params: baud=%d, databits=%d, stopbits=%d, parity=%d\r"},
    {Line::ClosingPort, 171, "ExtractQ4M(), Closing port resource\r"},
    {Line::FinalPowerDown, 172, "ExtractQ4M(), Power down scanner\r"},
    {Line::ScanMode, 173, "ExtractQ4M(), Set scanner to scan mode\r"},
    {Line::Exit, 174, "ExtractQ4M() exit\r"},
};

constexpr bool InOrder(const LineText (&texts)[static_cast<size_t>(Line::Count)]) {
    for (size_t i = 0; i < std::size(texts); ++i) {
        if (static_cast<size_t>(texts[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(InOrder(UpgradeTexts) && InOrder(ExtractTexts),
              "one text per statement, in the order of Line");

// Handles appear in the log as their low 32 bits.
unsigned HandleValue(HANDLE handle) {
    return static_cast<unsigned>(reinterpret_cast<UINT_PTR>(handle));
}

bool FileFound(const MultibytePath& path) {
    WIN32_FIND_DATAA found;
    common::UniqueFind find(::FindFirstFileA(path.c_str(), &found));
    return find.valid();
}

// One run's hold on the engine's port. The slot is the caller's; a null
// slot pointer counts as a slot holding no handle.
class PortRun {
public:
    PortRun(const LineText* texts, HANDLE* slot)
        : texts_(texts), slot_(slot != nullptr ? slot : &ownSlot_) {}

    template <typename... Args> void Log(Line line, Args... args) const {
        const LineText& text = texts_[static_cast<size_t>(line)];
        if (text.format != nullptr) {
            LogLine(text.site, text.format, args...);
        }
    }

    HANDLE SlotValue() const { return *slot_; }
    HANDLE Port() const { return port_.get(); }
    bool UnderDataServer() const { return underDataServer_; }
    DWORD SavedBaud() const { return saved_.BaudRate; }

    // A caller's handle: keep its line settings and close it so that the
    // port can be opened here without sharing.
    void TakeOverCallerPort() {
        if (*slot_ == INVALID_HANDLE_VALUE) {
            return;
        }
        Log(Line::UnderDataServer);
        Log(Line::RetrieveSettings);
        saved_ = DCB{};
        saved_.DCBlength = sizeof(DCB);
        ::GetCommState(*slot_, &saved_);
        Log(Line::SavedSettings, static_cast<int>(saved_.BaudRate),
            static_cast<int>(saved_.fParity), static_cast<int>(saved_.StopBits),
            static_cast<int>(saved_.ByteSize));
        Log(Line::CloseCallerHandle);
        ::CloseHandle(*slot_);
        *slot_ = INVALID_HANDLE_VALUE;
        underDataServer_ = true;
    }

    // The open is not checked here: an unusable handle fails the auto-baud
    // step, and the run ends the regular way.
    void OpenAndConfigure(const wchar_t* portName) {
        MultibytePath name = ToMultibyte(portName);
        Log(Line::CreateFile, name.c_str());
        port_.reset(OpenEnginePort(portName));
        *slot_ = port_.get();
        Log(Line::CreatedFile, HandleValue(port_.get()), name.c_str());
        DCB applied{};
        COMMTIMEOUTS timeouts{};
        ConfigureEnginePort(port_.get(), &applied, &timeouts);
        Log(Line::NewSettings, static_cast<int>(applied.BaudRate),
            static_cast<int>(applied.fParity), static_cast<int>(applied.StopBits),
            static_cast<int>(applied.ByteSize));
        Log(Line::Timeouts, static_cast<int>(timeouts.ReadTotalTimeoutConstant),
            static_cast<int>(timeouts.ReadIntervalTimeout),
            static_cast<int>(timeouts.ReadTotalTimeoutMultiplier),
            static_cast<int>(timeouts.WriteTotalTimeoutConstant),
            static_cast<int>(timeouts.WriteTotalTimeoutMultiplier));
    }

    // Under the data server the caller gets the new handle with its own line
    // settings; otherwise the port is closed and the slot emptied.
    void GiveBack() {
        if (underDataServer_) {
            Log(Line::RestoreSettings);
            ::SetCommState(port_.get(), &saved_);
            Log(Line::RestoredSettings, static_cast<int>(saved_.BaudRate),
                static_cast<int>(saved_.ByteSize), static_cast<int>(saved_.StopBits),
                static_cast<int>(saved_.fParity));
            *slot_ = port_.release();
            return;
        }
        Log(Line::ClosingPort);
        port_.reset();
        *slot_ = INVALID_HANDLE_VALUE;
    }

private:
    const LineText* texts_;
    HANDLE ownSlot_ = INVALID_HANDLE_VALUE;
    HANDLE* slot_;
    common::UniqueFile port_;
    DCB saved_{};
    bool underDataServer_ = false;
};

// Closes the log at the end of every run, whichever way it ends.
struct LogSession {
    ~LogSession() { LibraryLog().Close(); }
};

LONG RunUpgrade(HANDLE* slot, const wchar_t* portName, const wchar_t* flashDriverPath,
                const wchar_t* firmwareImagePath) {
    LogSession session;
    LibraryLog().LogFileExistanceCheck();
    PortRun run(UpgradeTexts, slot);
    run.Log(Line::Entry, HandleValue(run.SlotValue()));

    MultibytePath image = ToMultibyte(firmwareImagePath);
    MultibytePath driver = ToMultibyte(flashDriverPath);
    LONG status = Q4M_SUCCESS;
    if (!FileFound(image)) {
        run.Log(Line::ImageMissing, image.c_str());
        HVTLogEvent(ev::ImageMissing, 0, 0);
        status = Q4M_FAILURE;
    } else {
        HVTLogEvent(ev::ImageFound, 0, 0);
        run.Log(Line::ImageFound, image.c_str());
        if (!FileFound(driver)) {
            run.Log(Line::DriverMissing, driver.c_str());
            HVTLogEvent(ev::DriverMissing, 0, 0);
            status = Q4M_FAILURE;
        } else {
            HVTLogEvent(ev::DriverFound, 0, 0);
            run.Log(Line::DriverFound, driver.c_str());
        }
    }
    if (status == Q4M_SUCCESS) {
        run.Log(Line::PowerDown);
        PowerDownScanner();
        run.Log(Line::FlashMode);
        SetScannerMode(1);
        run.TakeOverCallerPort();
        run.OpenAndConfigure(portName);
        run.Log(Line::PowerUp);
        PowerUpScanner();
        HVTLogEvent(ev::PortConfigured, CBR_38400, 0);

        status = Upgrade(run.Port(), driver.c_str(), image.c_str());
        if (status >= 0) {
            run.Log(Line::UpgradeSucceeded, static_cast<unsigned>(status), HandleValue(run.Port()),
                    driver.c_str(), image.c_str());
            HVTLogEvent(ev::UpgradeSuccessful, 0, 0);
        }
        if (run.UnderDataServer()) {
            HVTLogEvent(ev::RestoringDataServerSettings, run.SavedBaud(), 0);
        }
        run.GiveBack();
        run.Log(Line::FinalPowerDown);
        PowerDownScanner();
        run.Log(Line::ScanMode);
        SetScannerMode(0);
    }
    run.Log(Line::Exit);
    return status;
}

LONG RunExtract(HANDLE* slot, const wchar_t* portName, const wchar_t* flashDriverPath,
                const wchar_t* firmwareImagePath, const wchar_t* hostCopyPath,
                const wchar_t* logPath) {
    LogSession session;
    LONG status = Q4M_SUCCESS;
    if (logPath != nullptr && !LibraryLog().Open(logPath)) {
        status = Q4M_FAILURE; // the extract still runs, with no log
    }
    PortRun run(ExtractTexts, slot);
    run.Log(Line::Entry, HandleValue(run.SlotValue()));

    // The image only names the firmware in the log lines.
    MultibytePath image = ToMultibyte(firmwareImagePath);
    MultibytePath driver = ToMultibyte(flashDriverPath);
    MultibytePath hostCopy = ToMultibyte(hostCopyPath);
    if (!FileFound(image)) {
        run.Log(Line::ImageMissing, image.c_str());
    }
    if (!FileFound(driver)) {
        run.Log(Line::DriverMissing, driver.c_str());
        run.Log(Line::Exit);
        return Q4M_FAILURE;
    }
    run.Log(Line::DriverFound, driver.c_str());

    run.Log(Line::PowerDown);
    PowerDownScanner();
    run.Log(Line::FlashMode);
    SetScannerMode(1);
    run.TakeOverCallerPort();
    run.OpenAndConfigure(portName);
    run.Log(Line::PowerUp);
    PowerUpScanner();
    run.Log(Line::ExtractStart, HandleValue(run.Port()), driver.c_str(), image.c_str());

    DWORD flashSize = 0;
    char version[MaximumReceivedString] = {};
    if (download_correct_flash_driver(run.Port(), driver.c_str(), 2, &flashSize, 1, version,
                                      sizeof(version)) != 0) {
        run.Log(Line::DownloadFailed, hostCopy.c_str(), static_cast<int>(flashSize), version);
        status = Q4M_FAILURE;
    } else {
        if (read_flash(run.Port(), flashSize, hostCopy.c_str()) != 0) {
            run.Log(Line::ReadFailed, hostCopy.c_str(), static_cast<int>(flashSize), version);
            status = Q4M_FAILURE;
        }
        if (remove_driver_cmd(run.Port()) != 0) {
            run.Log(Line::RemoveFailed);
            status = Q4M_FAILURE;
        }
    }
    run.GiveBack();
    run.Log(Line::FinalPowerDown);
    PowerDownScanner();
    run.Log(Line::ScanMode);
    SetScannerMode(0);
    run.Log(Line::Exit);
    return status;
}

} // namespace

extern "C" LONG WINAPI Q4MUpgrade(HANDLE* port, const wchar_t* portName,
                                  const wchar_t* flashDriverPath,
                                  const wchar_t* firmwareImagePath) {
    try {
        return RunUpgrade(port, portName, flashDriverPath, firmwareImagePath);
    } catch (...) {
        return Q4M_FAILURE; // nothing may leave the library
    }
}

extern "C" LONG WINAPI Q4MExtract(HANDLE* port, const wchar_t* portName,
                                  const wchar_t* flashDriverPath, const wchar_t* firmwareImagePath,
                                  const wchar_t* hostCopyPath, const wchar_t* logPath) {
    try {
        return RunExtract(port, portName, flashDriverPath, firmwareImagePath, hostCopyPath,
                          logPath);
    } catch (...) {
        return Q4M_FAILURE;
    }
}
