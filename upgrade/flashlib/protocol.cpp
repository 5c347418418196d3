#include "protocol.h"

#include <algorithm>
#include <cstring>

#include "HVTEventLog.h"
#include "common/handle.h"
#include "logfile.h"
#include "upgrade_events.h"

namespace ev = hvt::upgrade;

namespace {

// Every line this layer writes to the library log, with the number that
// identifies its statement.
enum class Text {
    ReceiveByteFailed,
    StringBufferTooSmall,
    StringTooLong,
    StringReceiveFailed,
    FileMissing,
    FileEmpty,
    DriverOpenFailed,
    DriverBadSize,
    DownloadNotAccepted,
    BlockAboveCount,
    DriverBlockShort,
    BadBlockRequest,
    DriverDownloadComplete,
    DriverTransmitError,
    DownloadEntry,
    AutoBaudSuccessful,
    FlashInitFailed,
    FlashInitialized,
    FlashSizeZero,
    CmdAckMissing,
    FlashSizeFailed,
    VersionFailed,
    Version,
    AckModeNoAck,
    AckModeNoDone,
    EraseNoAck,
    EraseNoDone,
    EraseSuccessful,
    EraseFailed,
    WriteBlockFailed,
    ReadNoAck,
    ReadWordFailed,
    ReadBlockFailed,
    ReadChecksumFailed,
    ReadChecksumMismatch,
    FormatOpenFailed,
    ImageOpenFailed,
    ImageTooLarge,
    ImageFormatInvalid,
    ImageSeekFailed,
    ImageBlockShort,
    FlashWritten,
    FlashWriteFailed,
    HostCopyOpenFailed,
    HostCopyWriteFailed,
    BlocksRead,
    UpgradeEntry,
    UpgradeDownloadFailed,
    UpgradeEraseFailed,
    UpgradeWriteFailed,
    UpgradeRemoveFailed,
    Count
};

struct LogText {
    Text id;
    int site;
    const char* format;
};

constexpr LogText Texts[] = {
    {Text::ReceiveByteFailed, 200,
     "ERROR: receive_byte(), 0x%x=ReadFile(), dwNumRead=%d, timediff=%d, 0x%x=GetLastError()\r"},
    {Text::StringBufferTooSmall, 201, "ERROR: receive_string(), Client input buff too small\r"},
    {Text::StringTooLong, 202, "ERROR: receive_string(), due to received string too long\r"},
    {Text::StringReceiveFailed, 203, "ERROR: receive_string() rxing string\r"},
    {Text::FileMissing, 204, "ERROR: tst_file_exists(), %s does not exist.\r"},
    {Text::FileEmpty, 205, "ERROR: tst_file_exists(), %s size is invalid\r"},
    {Text::DriverOpenFailed, 206, "ERROR: opening=%s\r"},
    {Text::DriverBadSize, 207,
     "ERROR: flash driver size. filesize: %d\r numblocks: %d, BLOCK_SIZE=%d\r"},
    {Text::DownloadNotAccepted, 208, "ERROR: <-- response(0x%x)\r"},
    {Text::BlockAboveCount, 209,
     "ERROR: num of blocks requested > actual number of blocks. reply=%d, numblocks=%d\r"},
    {Text::DriverBlockShort, 210, "file read len(%d) did not match block num(%d) size(%d)\r"},
    {Text::BadBlockRequest, 211, "<-- bad block request(0x%x)\r"},
    {Text::DriverDownloadComplete, 212, "flash driver download complete\r\r"},
    {Text::DriverTransmitError, 213, "ERROR: error transmiting block:%d\r\r"},
    {Text::DownloadEntry, 214,
     "download_correct_flash_driver(drvname=%s, drivernum=%d, flashsize=%d, ackmode=%d), "
     "entry\r"},
    {Text::AutoBaudSuccessful, 215,
     "download_correct_flash_driver(), Auto baud detection successful. Flash driver download "
     "start.\r"},
    {Text::FlashInitFailed, 216, "ERROR: flash init failed\r"},
    {Text::FlashInitialized, 217, "flash successfully initialized\r"},
    {Text::FlashSizeZero, 218, "ERROR: flash size returned from scanner is zero\r"},
    {Text::CmdAckMissing, 219, "ERROR: <-- cmd ack(0x%x)\r"},
    {Text::FlashSizeFailed, 220, "ERROR: <-- flash size(%d)\r"},
    {Text::VersionFailed, 221, "ERROR: rx'ing version\r"},
    {Text::Version, 222, "<-- version(%s) max len(0x%x)\r"},
    {Text::AckModeNoAck, 223, "ERROR: rx'ing cmd ack.\r"},
    {Text::AckModeNoDone, 224, "ERROR: scanner did not respond to ack mode request\r"},
    {Text::EraseNoAck, 225, "ERROR: erase_all_cmd(), Error rx'ing cmd ack\r"},
    {Text::EraseNoDone, 226, "ERROR: erase_all_cmd(), rx'ing cmd done\r"},
    {Text::EraseSuccessful, 227, "erase_flash(), flash erase successful\r"},
    {Text::EraseFailed, 228, "ERROR: erase_flash(), flash erase\r"},
    {Text::WriteBlockFailed, 229, "ERROR: writing block\r"},
    {Text::ReadNoAck, 230, "ERROR: <-- command ack(0x%x) for watchdog to timeout\r"},
    {Text::ReadWordFailed, 231, "ERROR: <-- block(%d)\r"},
    {Text::ReadBlockFailed, 232, "ERROR: reading block\r"},
    {Text::ReadChecksumFailed, 233, "ERROR: <-- checksum\r"},
    {Text::ReadChecksumMismatch, 234, "ERROR: rx'd checksum(0x%x) != calculated checksum(0x%x)\r"},
    {Text::FormatOpenFailed, 235, "ERROR: DetermineFirmwareFileFormat(), Opening file\r"},
    {Text::ImageOpenFailed, 236, "ERROR: write_flash(), cannot open %s\r"},
    {Text::ImageTooLarge, 237,
     "ERROR: write_flash(), file size numwords=%d, numblocks=%d, flashsize=%d\r"},
    {Text::ImageFormatInvalid, 238,
     "ERROR: write_flash(), error validating firmware(%s) image format\r"},
    {Text::ImageSeekFailed, 239, "write_flash(), moving past hardware header in %s\r"},
    {Text::ImageBlockShort, 240, "ERROR: write_flash(), reading block(%d) addr(0x%x)\r"},
    {Text::FlashWritten, 241, "write_flash(), Flash memory written.\r"},
    {Text::FlashWriteFailed, 242, "write_flash(), ERROR writing flash memory.\r"},
    {Text::HostCopyOpenFailed, 243, "ERROR: read_flash(), opening host copy of %s of size %d\r"},
    {Text::HostCopyWriteFailed, 244, "ERROR: writing block(%d) from address(0x%x)\r"},
    {Text::BlocksRead, 245, "blocks read(%d)\r"},
    {Text::UpgradeEntry, 246, "Upgrade(0x%x,%s,%s), Entry\r"},
    {Text::UpgradeDownloadFailed, 247,
     "ERROR: Upgrade(), download_correct_flash_driver() failed\r"},
    {Text::UpgradeEraseFailed, 248, "ERROR: Upgrade(), erasing flash\r"},
    {Text::UpgradeWriteFailed, 249, "ERROR: Upgrade(), writing flash\r"},
    {Text::UpgradeRemoveFailed, 250, "ERROR: Upgrade(), removing flash driver\r"},
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

void Event(DWORD code, DWORD parameter1 = 0, DWORD parameter2 = 0) {
    HVTLogEvent(code, parameter1, parameter2);
}

// Single-byte codes of the wire.
constexpr BYTE AutoBaudByte = 0x00;
constexpr BYTE AutoBaudAnswer = 0x54;
constexpr BYTE DownloadStart = 0xAA;
constexpr BYTE DownloadAccepted = 0x88;
constexpr BYTE BlockRequest = 0x80;
constexpr BYTE ChecksumRequest = 0x7F;
constexpr BYTE DownloadComplete = 0xBB;
constexpr BYTE CommandAck = 0x32;
constexpr BYTE CommandDone = 0x31;
constexpr BYTE HostAck = 0x06;

// Flash driver command codes.
constexpr WORD AckModeCommand = 0x10;
constexpr WORD FlashInitCommand = 0x11;
constexpr WORD RemoveDriverCommand = 0x12;
constexpr WORD SoftwareVersionCommand = 0x13;
constexpr WORD EraseAllCommand = 0x14;
constexpr WORD ReadBlockCommand = 0x15;
constexpr WORD WriteBlockCommand = 0x16;
constexpr WORD WriteSameWordCommand = 0x17;

// Per-exchange timeouts (milliseconds).
constexpr DWORD ExchangeReadTimeout = 3000;
constexpr DWORD ReadBlockReadTimeout = 6000;
constexpr DWORD EraseReadTimeout = 31000;
constexpr DWORD ExchangeWriteTimeout = 1000;

// After most failed exchanges the engine is given time to give up its side.
constexpr DWORD FailureSettleMs = 3000;

constexpr DWORD BlockBytes = 256;
constexpr DWORD BlockWords = 128;
constexpr DWORD MaximumDriverBlocks = 128;
constexpr DWORD HardwareHeaderBytes = 88;
constexpr BYTE HardwareHeaderTag[4] = {0x33, 0x05, 0x61, 0x39};

void set_timeouts(HANDLE port, DWORD readConstant, DWORD writeConstant) {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = readConstant;
    timeouts.WriteTotalTimeoutConstant = writeConstant;
    ::SetCommTimeouts(port, &timeouts);
}

void send_frame(HANDLE port, WORD command, WORD p1, WORD p2, WORD p3, WORD p4) {
    const WORD frame[5] = {command, p1, p2, p3, p4};
    for (WORD w : frame) {
        send_word(port, w);
    }
    send_dword(port, weighted_checksum(frame, 5));
}

WORD AddressHigh(DWORD address) {
    return static_cast<WORD>(address >> 16);
}
WORD AddressLow(DWORD address) {
    return static_cast<WORD>(address & 0xFFFF);
}

common::UniqueFile OpenForReading(const char* path) {
    return common::UniqueFile(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Reads up to `count` little-endian words; returns how many whole words came.
DWORD ReadWords(HANDLE file, WORD* words, DWORD count) {
    BYTE bytes[BlockBytes * 2];
    DWORD want = std::min<DWORD>(count * 2, sizeof(bytes));
    DWORD got = 0;
    if (!::ReadFile(file, bytes, want, &got, nullptr)) {
        return 0;
    }
    for (DWORD i = 0; i < got / 2; ++i) {
        words[i] = static_cast<WORD>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    return got / 2;
}

DWORD HandleValue(HANDLE handle) {
    return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(handle));
}

} // namespace

// ---- Primitives --------------------------------------------------------

void send_byte(HANDLE port, BYTE value) {
    DWORD written = 0;
    ::WriteFile(port, &value, 1, &written, nullptr); // a lost byte shows up as a wrong answer
}

void send_word(HANDLE port, WORD value) {
    send_byte(port, static_cast<BYTE>(value >> 8));
    send_byte(port, static_cast<BYTE>(value));
}

void send_dword(HANDLE port, DWORD value) {
    send_word(port, static_cast<WORD>(value >> 16));
    send_word(port, static_cast<WORD>(value));
}

int receive_byte(HANDLE port, BYTE* value) {
    DWORD read = 0;
    DWORD start = ::GetTickCount();
    BOOL ok = ::ReadFile(port, value, 1, &read, nullptr);
    DWORD error = ::GetLastError();
    DWORD elapsed = ::GetTickCount() - start;
    if (!ok || read != 1) {
        Log(Text::ReceiveByteFailed, ok, read, elapsed, error);
        ::SetLastError(error);
        return 1;
    }
    return 0;
}

int expect_byte(HANDLE port, BYTE expected, BYTE* value) {
    *value = 0;
    if (receive_byte(port, value) != 0) {
        return 1;
    }
    return *value == expected ? 0 : 1;
}

int receive_ack_word(HANDLE port, WORD* value) {
    BYTE high = 0;
    BYTE low = 0;
    if (receive_byte(port, &high) != 0) {
        ::Sleep(FailureSettleMs);
        return 1;
    }
    send_byte(port, HostAck);
    if (receive_byte(port, &low) != 0) {
        *value = static_cast<WORD>(high << 8);
        ::Sleep(FailureSettleMs);
        return 1;
    }
    send_byte(port, HostAck);
    *value = static_cast<WORD>((high << 8) | low);
    return 0;
}

int receive_ack_dword(HANDLE port, DWORD* value) {
    WORD high = 0;
    WORD low = 0;
    *value = 0;
    if (receive_ack_word(port, &high) != 0) {
        *value = static_cast<DWORD>(high) << 16;
        return 1;
    }
    int result = receive_ack_word(port, &low);
    *value = (static_cast<DWORD>(high) << 16) | low;
    return result;
}

// The buffer holds `maximum` bytes; the string always ends in a NUL there.
int receive_string(HANDLE port, char* buffer, DWORD maximum) {
    if (maximum > MaximumReceivedString || maximum == 0) {
        Log(Text::StringBufferTooSmall);
        Event(ev::StringMaximumTooLarge);
        return 1;
    }
    for (DWORD i = 0; i < maximum; ++i) {
        BYTE c = 0;
        if (receive_byte(port, &c) != 0) {
            buffer[i] = '\0';
            Log(Text::StringReceiveFailed);
            Event(ev::StringReceiveFailed);
            ::Sleep(FailureSettleMs);
            return 1;
        }
        buffer[i] = static_cast<char>(c);
        send_byte(port, HostAck);
        if (c == 0) {
            return 0;
        }
    }
    buffer[maximum - 1] = '\0';
    Log(Text::StringTooLong);
    Event(ev::StringTooLong);
    return 1;
}

DWORD weighted_checksum(const WORD* words, DWORD count) {
    DWORD sum = 0;
    for (DWORD i = 0; i < count; ++i) {
        sum += (count - i) * words[i];
    }
    return sum;
}

// ---- Flash driver commands ---------------------------------------------

int ack_mode_cmd(HANDLE port) {
    set_timeouts(port, ExchangeReadTimeout, ExchangeWriteTimeout);
    send_frame(port, AckModeCommand, 0, 0, 0, 0);
    BYTE reply = 0;
    if (expect_byte(port, CommandAck, &reply) != 0) {
        Log(Text::AckModeNoAck);
        Event(ev::AckModeNoAck);
        ::Sleep(FailureSettleMs);
        return 1;
    }
    if (expect_byte(port, CommandDone, &reply) != 0) {
        Log(Text::AckModeNoDone);
        Event(ev::AckModeNoDone);
        ::Sleep(FailureSettleMs);
        return 1;
    }
    send_byte(port, HostAck);
    return 0;
}

int flash_init_cmd(HANDLE port, DWORD* flashSize, char* version, DWORD maximum) {
    set_timeouts(port, ExchangeReadTimeout, ExchangeWriteTimeout);
    send_frame(port, FlashInitCommand, 0, 0, 0, 0);
    BYTE reply = 0;
    if (expect_byte(port, CommandAck, &reply) != 0) {
        Log(Text::CmdAckMissing, reply);
        Event(ev::FlashInitNoAck);
        ::Sleep(FailureSettleMs);
        return 1;
    }
    send_byte(port, HostAck);
    Event(ev::FlashInitAcknowledged);
    if (receive_ack_dword(port, flashSize) != 0) {
        Log(Text::FlashSizeFailed, *flashSize);
        return 1;
    }
    if (receive_string(port, version, maximum) != 0) {
        Log(Text::VersionFailed);
        Event(ev::FlashInitNoVersion);
        return 1;
    }
    Log(Text::Version, version, maximum);
    return 0;
}

int remove_driver_cmd(HANDLE port) {
    set_timeouts(port, ExchangeReadTimeout, ExchangeWriteTimeout);
    Event(ev::RemoveDriverStarted);
    send_frame(port, RemoveDriverCommand, 0, 0, 0, 0);
    BYTE reply = 0;
    if (expect_byte(port, CommandAck, &reply) != 0) {
        Event(ev::RemoveDriverNoAck);
        ::Sleep(FailureSettleMs);
        return 1;
    }
    Event(ev::RemoveDriverAcknowledged);
    send_byte(port, HostAck);
    if (expect_byte(port, CommandDone, &reply) != 0) {
        Event(ev::RemoveDriverNoDone);
        ::Sleep(FailureSettleMs);
        return 1;
    }
    Event(ev::RemoveDriverDone);
    send_byte(port, HostAck);
    return 0;
}

int software_version_cmd(HANDLE port, WORD fourWords[4], char* version, DWORD maximum) {
    set_timeouts(port, ExchangeReadTimeout, ExchangeWriteTimeout);
    send_frame(port, SoftwareVersionCommand, 0, 0, 0, 0);
    BYTE reply = 0;
    if (expect_byte(port, CommandAck, &reply) != 0) {
        ::Sleep(FailureSettleMs);
        return 1;
    }
    send_byte(port, HostAck);
    for (int i = 0; i < 4; ++i) {
        if (receive_ack_word(port, &fourWords[i]) != 0) {
            return 1;
        }
    }
    if (receive_string(port, version, maximum) != 0) {
        Event(ev::SoftwareVersionNoString);
        return 1;
    }
    return 0;
}

int erase_all_cmd(HANDLE port) {
    set_timeouts(port, EraseReadTimeout, ExchangeWriteTimeout);
    send_frame(port, EraseAllCommand, 0, 0, 0, 0);
    BYTE reply = 0;
    if (expect_byte(port, CommandAck, &reply) != 0) {
        Log(Text::EraseNoAck);
        Event(ev::EraseNoAck);
        ::Sleep(FailureSettleMs);
        return 1;
    }
    send_byte(port, HostAck);
    if (expect_byte(port, CommandDone, &reply) != 0) {
        Log(Text::EraseNoDone);
        Event(ev::EraseNoDone);
        ::Sleep(FailureSettleMs);
        return 1;
    }
    send_byte(port, HostAck);
    return 0;
}

int read_block_cmd(HANDLE port, DWORD wordCount, DWORD wordAddress, WORD* words, DWORD* wordsRead) {
    *wordsRead = 0;
    set_timeouts(port, ReadBlockReadTimeout, ExchangeWriteTimeout);
    send_frame(port, ReadBlockCommand, static_cast<WORD>(wordCount), AddressHigh(wordAddress),
               AddressLow(wordAddress), 0);
    BYTE reply = 0;
    if (expect_byte(port, CommandAck, &reply) != 0) {
        Log(Text::ReadNoAck, reply);
        ::Sleep(FailureSettleMs);
        return 1;
    }
    send_byte(port, HostAck);
    for (DWORD i = 0; i < wordCount; ++i) {
        if (receive_ack_word(port, &words[i]) != 0) {
            Log(Text::ReadWordFailed, i);
            Log(Text::ReadBlockFailed);
            return 1;
        }
    }
    DWORD received = 0;
    if (receive_ack_dword(port, &received) != 0) {
        Log(Text::ReadChecksumFailed);
        return 1;
    }
    DWORD calculated = weighted_checksum(words, wordCount);
    if (received != calculated) {
        Log(Text::ReadChecksumMismatch, received, calculated);
        return 1;
    }
    *wordsRead = wordCount;
    return 0;
}

int write_block_cmd(HANDLE port, DWORD wordCount, DWORD wordAddress, const WORD* words) {
    set_timeouts(port, ExchangeReadTimeout, ExchangeWriteTimeout);
    send_frame(port, WriteBlockCommand, static_cast<WORD>(wordCount), AddressHigh(wordAddress),
               AddressLow(wordAddress), 0);
    BYTE reply = 0;
    if (expect_byte(port, CommandAck, &reply) != 0) {
        return 1;
    }
    send_byte(port, HostAck);
    for (DWORD i = 0; i < wordCount; ++i) {
        send_word(port, words[i]);
    }
    send_dword(port, weighted_checksum(words, wordCount));
    if (expect_byte(port, CommandDone, &reply) != 0) {
        Log(Text::WriteBlockFailed);
        Event(ev::WriteBlockNoDone);
        ::Sleep(FailureSettleMs);
        return 1;
    }
    send_byte(port, HostAck);
    return 0;
}

int write_same_word_cmd(HANDLE port, DWORD wordCount, DWORD wordAddress, WORD word) {
    set_timeouts(port, ExchangeReadTimeout, ExchangeWriteTimeout);
    send_frame(port, WriteSameWordCommand, static_cast<WORD>(wordCount), AddressHigh(wordAddress),
               AddressLow(wordAddress), word);
    BYTE reply = 0;
    if (expect_byte(port, CommandAck, &reply) != 0) {
        ::Sleep(FailureSettleMs);
        return 1;
    }
    send_byte(port, HostAck);
    if (expect_byte(port, CommandDone, &reply) != 0) {
        ::Sleep(FailureSettleMs);
        return 1;
    }
    send_byte(port, HostAck);
    return 0;
}

// ---- Sequences ---------------------------------------------------------

int baud_rate_autodetec(HANDLE port) {
    set_timeouts(port, ExchangeReadTimeout, ExchangeWriteTimeout);
    send_byte(port, AutoBaudByte);
    BYTE reply = 0;
    if (expect_byte(port, AutoBaudAnswer, &reply) != 0) {
        Event(ev::AutoBaudFailed, ::GetLastError());
        return 1;
    }
    Event(ev::EngineDetected);
    return 0;
}

int tst_file_exists(const char* path) {
    common::UniqueFile file = OpenForReading(path);
    if (!file) {
        Log(Text::FileMissing, path);
        Event(ev::FileMissing);
        return 1;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart == 0) {
        Log(Text::FileEmpty, path);
        return 1;
    }
    return 0;
}

// Serves the boot loader's block requests with the driver file, in whatever
// order it asks for them, until it reports the download complete.
static int serve_driver_blocks(HANDLE port, HANDLE file, DWORD blocks, DWORD* lastBlock) {
    for (;;) {
        BYTE request = 0;
        if (receive_byte(port, &request) != 0) {
            return 1;
        }
        if (request == DownloadComplete) {
            return 0;
        }
        if (request != BlockRequest) {
            Log(Text::BadBlockRequest, request);
            Event(ev::BadBlockRequest);
            return 1;
        }
        BYTE block = 0;
        if (receive_byte(port, &block) != 0) {
            return 1;
        }
        *lastBlock = block;
        if (block > blocks) {
            Log(Text::BlockAboveCount, block, blocks);
            Event(ev::BlockNumberAboveCount);
            return 1;
        }
        if (block == 0) { // blocks are numbered from 1
            Log(Text::BadBlockRequest, block);
            Event(ev::BadBlockRequest);
            return 1;
        }
        LARGE_INTEGER offset{};
        offset.QuadPart = static_cast<LONGLONG>(block - 1) * BlockBytes;
        WORD words[BlockWords];
        DWORD got = ::SetFilePointerEx(file, offset, nullptr, FILE_BEGIN)
                        ? ReadWords(file, words, BlockWords)
                        : 0;
        if (got < BlockWords) {
            Log(Text::DriverBlockShort, got, block, BlockWords);
            return 1;
        }
        for (WORD w : words) {
            send_word(port, w);
        }
        BYTE reply = 0;
        if (expect_byte(port, ChecksumRequest, &reply) != 0) {
            return 1;
        }
        send_dword(port, weighted_checksum(words, BlockWords));
    }
}

int download_flash_driver(HANDLE port, const char* driverPath) {
    DWORD lastBlock = 0;
    common::UniqueFile file;
    int result = tst_file_exists(driverPath);
    if (result == 0) {
        file = OpenForReading(driverPath);
        if (!file) {
            Log(Text::DriverOpenFailed, driverPath);
            Event(ev::DriverFileOpenFailed);
            result = 1;
        }
    }
    if (result == 0) {
        LARGE_INTEGER size{};
        ::GetFileSizeEx(file.get(), &size);
        DWORD fileSize = static_cast<DWORD>(std::min<LONGLONG>(size.QuadPart, MAXDWORD));
        DWORD blocks = fileSize / BlockBytes;
        if (blocks < 1 || blocks > MaximumDriverBlocks) {
            Log(Text::DriverBadSize, fileSize, blocks, BlockWords);
            Event(ev::DriverFileBadSize, fileSize, blocks);
            result = 1;
        } else {
            set_timeouts(port, ExchangeReadTimeout, ExchangeWriteTimeout);
            Event(ev::DriverStartSent);
            ::Sleep(10);
            send_byte(port, DownloadStart);
            BYTE reply = 0;
            if (expect_byte(port, DownloadAccepted, &reply) != 0) {
                Log(Text::DownloadNotAccepted, reply);
                result = 1;
            } else {
                Event(ev::DriverBlocksBegin);
                Event(ev::DriverBlockCount, blocks, fileSize);
                send_byte(port, static_cast<BYTE>(blocks));
                result = serve_driver_blocks(port, file.get(), blocks, &lastBlock);
            }
        }
    }
    if (file) {
        Event(ev::DriverFileClosed);
        file.reset();
    }
    if (result == 0) {
        Log(Text::DriverDownloadComplete);
        Event(ev::DriverDownloadComplete);
    } else {
        Log(Text::DriverTransmitError, lastBlock);
        Event(ev::DriverDownloadFailed, lastBlock);
    }
    return result;
}

int flash_memory_initialization(HANDLE port, DWORD* flashSize, const char* /*driverPath*/,
                                char* version, DWORD maximum) {
    if (flash_init_cmd(port, flashSize, version, maximum) != 0) {
        Log(Text::FlashInitFailed);
        Event(ev::FlashInitFailed);
        return 1;
    }
    Log(Text::FlashInitialized);
    Event(ev::FlashInitialised);
    if (*flashSize == 0) {
        Log(Text::FlashSizeZero);
        Event(ev::FlashSizeZero);
        return 1;
    }
    return 0;
}

int download_correct_flash_driver(HANDLE port, const char* driverPath, int driverNumber,
                                  DWORD* flashSize, int ackMode, char* version,
                                  DWORD versionMaximum) {
    Log(Text::DownloadEntry, driverPath, driverNumber, *flashSize, ackMode);
    Event(ev::DriverDownloadEntered);
    if (baud_rate_autodetec(port) != 0) {
        Event(ev::DriverSetupFailed);
        return 1;
    }
    Log(Text::AutoBaudSuccessful);
    Event(ev::EngineDetected);
    if (download_flash_driver(port, driverPath) != 0) {
        Event(ev::DriverSetupFailed);
        return 1;
    }
    Event(ev::DriverDownloadComplete);
    if (ack_mode_cmd(port) != 0) {
        Event(ev::DriverSetupFailed);
        return 1;
    }
    Event(ev::AckModeSet);
    char received[MaximumReceivedString] = {};
    int result =
        flash_memory_initialization(port, flashSize, driverPath, received, MaximumReceivedString);
    if (version != nullptr && versionMaximum > 0) {
        std::strncpy(version, received, versionMaximum - 1);
        version[versionMaximum - 1] = '\0';
    }
    if (result != 0) {
        Event(ev::DriverSetupFailed);
        return result;
    }
    Event(ev::DriverReady);
    return 0;
}

int erase_flash(HANDLE port) {
    if (erase_all_cmd(port) != 0) {
        Log(Text::EraseFailed);
        Event(ev::EraseFailed);
        return 1;
    }
    Log(Text::EraseSuccessful);
    Event(ev::FlashErased);
    return 0;
}

int DetermineFirmwareFileFormat(const char* imagePath) {
    Event(ev::FormatDetectionStart);
    common::UniqueFile file = OpenForReading(imagePath);
    if (!file) {
        Log(Text::FormatOpenFailed);
        Event(ev::FormatDetectionOpenFailed, 0xFFFFFFFF);
        return -1;
    }
    BYTE tag[4];
    int result = 0;
    for (BYTE& b : tag) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), &b, 1, &got, nullptr) || got != 1) {
            result = -1;
            break;
        }
    }
    if (result == 0) {
        if (std::memcmp(tag, HardwareHeaderTag, sizeof(tag)) == 0) {
            Event(ev::HardwareHeaderFound, HardwareHeaderBytes);
            result = HardwareHeaderBytes;
        } else {
            Event(ev::HardwareHeaderNotFound, 0);
        }
    }
    file.reset();
    Event(ev::FormatDetectionEnd);
    return result;
}

// The image fits when its words (header included) do not outnumber the
// flash's. Checked before anything is erased, so that an image that cannot
// be written never leaves the engine without firmware.
int check_image_fits(DWORD flashSize, const char* imagePath) {
    common::UniqueFile file = OpenForReading(imagePath);
    if (!file) {
        Log(Text::ImageOpenFailed, imagePath);
        Event(ev::ImageOpenFailed);
        return 1;
    }
    LARGE_INTEGER size{};
    ::GetFileSizeEx(file.get(), &size);
    DWORD fileSize = static_cast<DWORD>(std::min<LONGLONG>(size.QuadPart, MAXDWORD));
    DWORD words = fileSize / 2;
    DWORD blocks = words / BlockWords;
    if (words > flashSize) {
        Log(Text::ImageTooLarge, words, blocks, flashSize);
        Event(ev::ImageTooLarge, blocks, fileSize);
        return 1;
    }
    return 0;
}

static int write_image_blocks(HANDLE port, HANDLE file, DWORD blocks) {
    Event(ev::WriteStart, blocks);
    for (DWORD k = 0; k < blocks; ++k) {
        WORD words[BlockWords];
        DWORD address = k * BlockWords;
        if (ReadWords(file, words, BlockWords) < BlockWords) {
            Log(Text::ImageBlockShort, k, address);
            Event(ev::ImageBlockShort, k, address);
            return 1;
        }
        bool same = std::all_of(words, words + BlockWords, [&](WORD w) { return w == words[0]; });
        int result = same ? write_same_word_cmd(port, BlockWords, address, words[0])
                          : write_block_cmd(port, BlockWords, address, words);
        if (result != 0) {
            return result;
        }
    }
    return 0;
}

int write_flash(HANDLE port, DWORD flashSize, const char* imagePath) {
    if (check_image_fits(flashSize, imagePath) != 0) {
        return 1;
    }
    common::UniqueFile file = OpenForReading(imagePath);
    if (!file) {
        Log(Text::ImageOpenFailed, imagePath);
        Event(ev::ImageOpenFailed);
        return 1;
    }
    LARGE_INTEGER size{};
    ::GetFileSizeEx(file.get(), &size);
    DWORD blocks = static_cast<DWORD>(size.QuadPart / 2) / BlockWords;
    int result = 0;
    int offset = DetermineFirmwareFileFormat(imagePath);
    if (offset < 0) {
        Log(Text::ImageFormatInvalid, imagePath);
        result = 1;
    } else {
        LARGE_INTEGER position{};
        position.QuadPart = offset;
        if (!::SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN)) {
            Log(Text::ImageSeekFailed, imagePath);
            result = 1;
        } else {
            result = write_image_blocks(port, file.get(), blocks);
        }
    }
    file.reset();
    if (result == 0) {
        Log(Text::FlashWritten);
        Event(ev::FlashWritten);
    } else {
        Log(Text::FlashWriteFailed);
        Event(ev::FlashWriteFailed);
    }
    return result;
}

int read_flash(HANDLE port, DWORD flashSize, const char* hostCopyPath) {
    common::UniqueFile file(::CreateFileA(hostCopyPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        Log(Text::HostCopyOpenFailed, hostCopyPath, flashSize);
        return 1;
    }
    DWORD blocks = flashSize / BlockWords;
    DWORD done = 0;
    int result = 0;
    for (DWORD k = 0; k < blocks && result == 0; ++k) {
        WORD words[BlockWords];
        DWORD got = 0;
        DWORD address = k * BlockWords;
        if (read_block_cmd(port, BlockWords, address, words, &got) != 0) {
            result = 1;
            break;
        }
        BYTE bytes[BlockBytes];
        for (DWORD i = 0; i < got; ++i) {
            bytes[2 * i] = static_cast<BYTE>(words[i]);
            bytes[2 * i + 1] = static_cast<BYTE>(words[i] >> 8);
        }
        DWORD written = 0;
        if (!::WriteFile(file.get(), bytes, got * 2, &written, nullptr) || written != BlockBytes) {
            Log(Text::HostCopyWriteFailed, k, address);
            result = 1;
            break;
        }
        ++done;
    }
    Log(Text::BlocksRead, done);
    return result;
}

LONG Upgrade(HANDLE port, const char* driverPath, const char* imagePath) {
    Log(Text::UpgradeEntry, HandleValue(port), driverPath, imagePath);
    DWORD flashSize = 0;
    if (download_correct_flash_driver(port, driverPath, 2, &flashSize, 1) != 0) {
        Log(Text::UpgradeDownloadFailed);
        return Q4M_FAILURE;
    }
    LONG result = Q4M_SUCCESS;
    if (check_image_fits(flashSize, imagePath) != 0) {
        Log(Text::UpgradeWriteFailed);
        result = Q4M_FAILURE;
    } else if (erase_flash(port) != 0) {
        Log(Text::UpgradeEraseFailed);
        result = Q4M_FAILURE;
    } else if (write_flash(port, flashSize, imagePath) != 0) {
        Log(Text::UpgradeWriteFailed);
        result = Q4M_FAILURE;
    }
    if (remove_driver_cmd(port) != 0) {
        Log(Text::UpgradeRemoveFailed);
        Event(ev::RemoveDriverStarted);
        result = Q4M_FAILURE;
    }
    return result;
}
