// Event codes of the scan engine upgrade (facility 0x2BB) and of the scan
// engine's power and mode lines (facility 0x162), with a short meaning each
// for viewers of the event log.
#pragma once

#include <windows.h>

namespace hvt::upgrade {

// Flash download protocol.
constexpr DWORD EngineDetected = 0x02BB0004;
constexpr DWORD DriverDownloadComplete = 0x02BB0005;
constexpr DWORD DriverReady = 0x02BB0006;
constexpr DWORD AckModeSet = 0x02BB0007;
constexpr DWORD RemoveDriverAcknowledged = 0x02BB0008;
constexpr DWORD RemoveDriverDone = 0x02BB0009;
constexpr DWORD FlashWritten = 0x02BB000A;
constexpr DWORD FlashErased = 0x02BB000B;
constexpr DWORD FlashInitialised = 0x02BB000C;
constexpr DWORD DriverDownloadEntered = 0x42BB0004;
constexpr DWORD DriverStartSent = 0x42BB0005;
constexpr DWORD DriverBlocksBegin = 0x42BB0006;
constexpr DWORD DriverBlockCount = 0x42BB0007;
constexpr DWORD DriverFileClosed = 0x42BB0008;
constexpr DWORD RemoveDriverStarted = 0x42BB0009;
constexpr DWORD FlashInitAcknowledged = 0x42BB000A;
constexpr DWORD WriteStart = 0x42BB000C;
constexpr DWORD FormatDetectionStart = 0x42BB000E;
constexpr DWORD HardwareHeaderFound = 0x42BB000F;
constexpr DWORD HardwareHeaderNotFound = 0x42BB0010;
constexpr DWORD FormatDetectionEnd = 0x42BB0011;
constexpr DWORD AutoBaudFailed = 0xC2BB0027;
constexpr DWORD DriverFileOpenFailed = 0xC2BB0028;
constexpr DWORD DriverFileBadSize = 0xC2BB0029;
constexpr DWORD BadBlockRequest = 0xC2BB002A;
constexpr DWORD BlockNumberAboveCount = 0xC2BB002B;
constexpr DWORD DriverDownloadFailed = 0xC2BB002D;
constexpr DWORD DriverSetupFailed = 0xC2BB002F;
constexpr DWORD FlashInitNoVersion = 0xC2BB0030;
constexpr DWORD FlashInitNoAck = 0xC2BB0031;
constexpr DWORD RemoveDriverNoDone = 0xC2BB0032;
constexpr DWORD RemoveDriverNoAck = 0xC2BB0033;
constexpr DWORD SoftwareVersionNoString = 0xC2BB0034;
constexpr DWORD WriteBlockNoDone = 0xC2BB0035;
constexpr DWORD EraseNoAck = 0xC2BB0036;
constexpr DWORD EraseNoDone = 0xC2BB0037;
constexpr DWORD AckModeNoDone = 0xC2BB0038;
constexpr DWORD AckModeNoAck = 0xC2BB0039;
constexpr DWORD FlashSizeZero = 0xC2BB003A;
constexpr DWORD FlashInitFailed = 0xC2BB003B;
constexpr DWORD ImageOpenFailed = 0xC2BB003C;
constexpr DWORD ImageTooLarge = 0xC2BB003D;
constexpr DWORD ImageBlockShort = 0xC2BB003E;
constexpr DWORD FlashWriteFailed = 0xC2BB003F;
constexpr DWORD EraseFailed = 0xC2BB0040;
constexpr DWORD StringTooLong = 0xC2BB0041;
constexpr DWORD StringReceiveFailed = 0xC2BB0042;
constexpr DWORD StringMaximumTooLarge = 0xC2BB0043;
constexpr DWORD FileMissing = 0xC2BB0044;
constexpr DWORD FormatDetectionOpenFailed = 0xC2BB0045;

// Upgrade and extract entry points.
constexpr DWORD ImageFound = 0x02BB0001;
constexpr DWORD DriverFound = 0x02BB0002;
constexpr DWORD UpgradeSuccessful = 0x02BB0003;
constexpr DWORD PortConfigured = 0x42BB0002;
constexpr DWORD RestoringDataServerSettings = 0x42BB0003;
constexpr DWORD PowerDownRequested = 0x42BB0012;
constexpr DWORD PowerUpRequested = 0x42BB0013;
constexpr DWORD FlashModeRequested = 0x42BB0014;
constexpr DWORD ScanningModeRequested = 0x42BB0015;
constexpr DWORD DriverMissing = 0xC2BB0023;
constexpr DWORD ImageMissing = 0xC2BB0024;
constexpr DWORD ScanningModeFailed = 0xC2BB0025;
constexpr DWORD FlashModeFailed = 0xC2BB0026;
constexpr DWORD PowerDownFailed = 0xC2BB0047;
constexpr DWORD PowerUpFailed = 0xC2BB0048;

// The scan engine's power and mode lines.
constexpr DWORD ScannerModeRequested = 0x41620000;
constexpr DWORD ScanPowerRequested = 0x41620001;
constexpr DWORD SysIoUsesHcr0 = 0x41620005;
constexpr DWORD SysIoUsesDriver = 0x41620006;
constexpr DWORD SysIoDriverOpenFailed = 0xC1620000;
constexpr DWORD SysIoModeRequestFailed = 0xC1620001;
constexpr DWORD SysIoPowerRequestFailed = 0xC1620002;
constexpr DWORD Hcr0AttachFailed = 0xC1620010;
constexpr DWORD Hcr0ModeNotAccessible = 0xC1620011;
constexpr DWORD Hcr0PowerNotAccessible = 0xC1620012;

struct EventMeaning {
    DWORD code;
    const char* meaning;
};

constexpr EventMeaning Meanings[] = {
    {EngineDetected, "engine detected (auto-baud done)"},
    {DriverDownloadComplete, "driver download complete"},
    {DriverReady, "download_correct_flash_driver complete"},
    {AckModeSet, "ack mode set"},
    {RemoveDriverAcknowledged, "remove driver: acknowledged"},
    {RemoveDriverDone, "remove driver: done"},
    {FlashWritten, "flash written"},
    {FlashErased, "flash erased"},
    {FlashInitialised, "flash initialised"},
    {DriverDownloadEntered, "download_correct_flash_driver entered"},
    {DriverStartSent, "driver download: start byte sent"},
    {DriverBlocksBegin, "driver download: blocks begin"},
    {DriverBlockCount, "driver block count and file size"},
    {DriverFileClosed, "driver file closed"},
    {RemoveDriverStarted, "remove driver started"},
    {FlashInitAcknowledged, "flash init acknowledged"},
    {WriteStart, "write start (block count)"},
    {FormatDetectionStart, "format detection start"},
    {HardwareHeaderFound, "hardware header found"},
    {HardwareHeaderNotFound, "hardware header not found"},
    {FormatDetectionEnd, "format detection end"},
    {AutoBaudFailed, "auto-baud failed (last error)"},
    {DriverFileOpenFailed, "driver file cannot be opened"},
    {DriverFileBadSize, "driver file has a bad size (size, blocks)"},
    {BadBlockRequest, "bad block request"},
    {BlockNumberAboveCount, "block number above the driver's block count"},
    {DriverDownloadFailed, "driver download failed (last block)"},
    {DriverSetupFailed, "download_correct_flash_driver failed"},
    {FlashInitNoVersion, "flash init: version not received"},
    {FlashInitNoAck, "flash init: no ack"},
    {RemoveDriverNoDone, "remove driver: no done"},
    {RemoveDriverNoAck, "remove driver: no ack"},
    {SoftwareVersionNoString, "software version: string not received"},
    {WriteBlockNoDone, "write block: no done"},
    {EraseNoAck, "erase all: no ack"},
    {EraseNoDone, "erase all: no done"},
    {AckModeNoDone, "ack mode: no done"},
    {AckModeNoAck, "ack mode: no ack"},
    {FlashSizeZero, "flash size 0"},
    {FlashInitFailed, "flash init failed"},
    {ImageOpenFailed, "image cannot be opened"},
    {ImageTooLarge, "image too large (blocks, size)"},
    {ImageBlockShort, "image block short (block, address)"},
    {FlashWriteFailed, "flash write failed"},
    {EraseFailed, "erase failed"},
    {StringTooLong, "string too long"},
    {StringReceiveFailed, "string receive failed"},
    {StringMaximumTooLarge, "string maximum above 128"},
    {FileMissing, "file does not exist"},
    {FormatDetectionOpenFailed, "image cannot be opened for format detection"},
    {ImageFound, "image found"},
    {DriverFound, "driver found"},
    {UpgradeSuccessful, "upgrade successful"},
    {PortConfigured, "port configured (baud)"},
    {RestoringDataServerSettings, "restoring the data server's settings (baud)"},
    {PowerDownRequested, "power down"},
    {PowerUpRequested, "power up"},
    {FlashModeRequested, "flash mode"},
    {ScanningModeRequested, "scanning mode"},
    {DriverMissing, "driver missing"},
    {ImageMissing, "image missing"},
    {ScanningModeFailed, "scanning mode failed"},
    {FlashModeFailed, "flash mode failed"},
    {PowerDownFailed, "power down failed"},
    {PowerUpFailed, "power up failed"},
    {ScannerModeRequested, "set scanner mode requested (mode)"},
    {ScanPowerRequested, "set scan power requested (on)"},
    {SysIoUsesHcr0, "sysIo uses HCR0"},
    {SysIoUsesDriver, "sysIo uses the SYI1: driver"},
    {SysIoDriverOpenFailed, "SYI1: cannot be opened (last error)"},
    {SysIoModeRequestFailed, "driver request failed: mode"},
    {SysIoPowerRequestFailed, "driver request failed: power"},
    {Hcr0AttachFailed, "HCR0 attach failed"},
    {Hcr0ModeNotAccessible, "HCR0 not accessible: mode"},
    {Hcr0PowerNotAccessible, "HCR0 not accessible: power"},
};

// The meaning of an upgrade or line event; null for any other code.
inline const char* MeaningOf(DWORD code) {
    for (const EventMeaning& entry : Meanings) {
        if (entry.code == code) {
            return entry.meaning;
        }
    }
    return nullptr;
}

} // namespace hvt::upgrade
