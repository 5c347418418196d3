#include "engine/scan_engine.h"

#include <cstdio>

namespace engine {

namespace {

// Single-byte codes of the wire, seen from the engine.
constexpr BYTE AutoBaudByte = 0x00;
constexpr BYTE AutoBaudAnswerByte = 0x54;
constexpr BYTE DownloadStartByte = 0xAA;
constexpr BYTE DownloadAcceptByte = 0x88;
constexpr BYTE BlockRequestByte = 0x80;
constexpr BYTE ChecksumRequestByte = 0x7F;
constexpr BYTE DownloadCompleteByte = 0xBB;
constexpr BYTE CommandAckByte = 0x32;
constexpr BYTE CommandDoneByte = 0x31;
constexpr BYTE HostAckByte = 0x06;

enum : BYTE {
    CmdAckMode = 0x10,
    CmdFlashInit = 0x11,
    CmdRemoveDriver = 0x12,
    CmdSoftwareVersion = 0x13,
    CmdEraseAll = 0x14,
    CmdReadBlock = 0x15,
    CmdWriteBlock = 0x16,
    CmdWriteSameWord = 0x17,
};

constexpr DWORD BlockWords = 128;
constexpr DWORD FrameWords = 5;
// The flash driver moves at most this many words in one read or write.
constexpr DWORD MaximumTransferWords = 0x1000;

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%lX", static_cast<unsigned long>(value));
    return text;
}

WORD HighFirstWord(const BYTE* bytes) {
    return static_cast<WORD>((bytes[0] << 8) | bytes[1]);
}

DWORD HighFirstDword(const BYTE* bytes) {
    return (static_cast<DWORD>(bytes[0]) << 24) | (static_cast<DWORD>(bytes[1]) << 16) |
           (static_cast<DWORD>(bytes[2]) << 8) | bytes[3];
}

std::vector<WORD> HighFirstWords(const std::vector<BYTE>& bytes) {
    std::vector<WORD> words(bytes.size() / 2);
    for (size_t i = 0; i < words.size(); ++i) {
        words[i] = HighFirstWord(&bytes[2 * i]);
    }
    return words;
}

} // namespace

DWORD WeightedChecksum(const WORD* words, DWORD count) {
    DWORD sum = 0;
    for (DWORD i = 0; i < count; ++i) {
        sum += (count - i) * words[i];
    }
    return sum;
}

ScanEngine::ScanEngine(EngineConfig config)
    : config_(std::move(config)), lines_(config_.lines ? config_.lines : &alwaysOn_),
      faults_(config_.faults), flash_(config_.flashWords, config_.fillWord) {
    flash_.Preset(config_.preset);
}

void ScanEngine::Complain(const std::string& text) {
    complaints_.push_back(text);
}

// A power-up in flash mode starts the boot loader; losing either line makes
// the engine deaf and forgets a downloaded driver.
void ScanEngine::FollowLines() {
    bool listening = lines_->Powered() && lines_->FlashMode();
    if (listening) {
        listenedAt_ = ::GetTickCount();
    }
    if (!listening) {
        if (stage_ != Stage::Off) {
            stage_ = Stage::Off;
            ackMode_ = false;
        }
    } else if (stage_ == Stage::Off) {
        stage_ = Stage::WaitingAutoBaud;
        driverRemoved_ = false;
    }
}

void ScanEngine::Run(SerialLink& link, bool untilRemoved) {
    link_ = &link;
    while (!link.Stopping()) {
        if (untilRemoved && stage_ == Stage::DriverRemoved) {
            break;
        }
        FollowLines();
        BYTE first = 0;
        if (!link.Receive(&first, 1, SerialLink::SliceMs)) {
            continue;
        }
        FollowLines();
        try {
            Handle(first);
        } catch (const Abandon&) {
            if (stage_ == Stage::WaitingDownload) {
                stage_ = Stage::WaitingAutoBaud;
            }
            FollowLines();
        }
    }
    link_ = nullptr;
}

void ScanEngine::Handle(BYTE first) {
    switch (stage_) {
    case Stage::Off:
        return; // deaf: the byte is on the transcript and nothing more
    case Stage::WaitingAutoBaud:
        if (first != AutoBaudByte) {
            Complain("byte " + Hex(first) + " before the auto-baud byte");
            return;
        }
        Reply(Point::AutoBaudAnswer, AutoBaudAnswerByte);
        stage_ = Stage::WaitingDownload;
        return;
    case Stage::WaitingDownload:
        if (first == AutoBaudByte) {
            Reply(Point::AutoBaudAnswer, AutoBaudAnswerByte);
        } else if (first == DownloadStartByte) {
            Download();
        } else {
            Complain("byte " + Hex(first) + " instead of the start of a driver download");
        }
        return;
    case Stage::DriverRunning:
        Command(first);
        return;
    case Stage::DriverRemoved:
        Complain("byte " + Hex(first) + " after the driver was removed");
        return;
    }
}

void ScanEngine::Download() {
    Reply(Point::DownloadAccept, DownloadAcceptByte);
    BYTE count = 0;
    ReceiveOrAbandon(&count, 1, "the driver's block count");
    std::vector<int> order = config_.blockOrder;
    if (order.empty()) {
        for (int b = 1; b <= count; ++b) {
            order.push_back(b);
        }
    }
    driver_.assign(static_cast<size_t>(count) * BlockWords, 0);
    std::vector<bool> received(count + 1u, false);
    for (int block : order) {
        Reply(Point::BlockRequest, BlockRequestByte);
        Reply(Point::BlockNumber, static_cast<BYTE>(block));
        std::vector<BYTE> bytes(BlockWords * 2);
        ReceiveOrAbandon(bytes.data(), static_cast<DWORD>(bytes.size()), "a driver block");
        std::vector<WORD> words = HighFirstWords(bytes);
        Reply(Point::ChecksumRequest, ChecksumRequestByte);
        BYTE sum[4];
        ReceiveOrAbandon(sum, 4, "a driver block's checksum");
        DWORD expected = WeightedChecksum(words.data(), BlockWords);
        if (HighFirstDword(sum) != expected) {
            Complain("driver block " + std::to_string(block) + " checksum " +
                     Hex(HighFirstDword(sum)) + " != " + Hex(expected));
            throw Abandon{};
        }
        if (block >= 1 && block <= count) {
            std::copy(words.begin(), words.end(), driver_.begin() + (block - 1) * BlockWords);
            received[block] = true;
        }
        blocksServed_.push_back(block);
    }
    for (int b = 1; b <= count; ++b) {
        if (!received[b]) {
            Complain("driver block " + std::to_string(b) + " never arrived");
        }
    }
    Reply(Point::DownloadComplete, DownloadCompleteByte);
    stage_ = Stage::DriverRunning;
}

void ScanEngine::Command(BYTE first) {
    BYTE frame[FrameWords * 2 + 4];
    frame[0] = first;
    ReceiveOrAbandon(frame + 1, sizeof(frame) - 1, "a command frame");
    WORD words[FrameWords];
    for (DWORD i = 0; i < FrameWords; ++i) {
        words[i] = HighFirstWord(frame + 2 * i);
    }
    DWORD sum = HighFirstDword(frame + FrameWords * 2);
    if (sum != WeightedChecksum(words, FrameWords)) {
        Complain("command frame " + Hex(words[0]) + " checksum " + Hex(sum) +
                 " != " + Hex(WeightedChecksum(words, FrameWords)));
        throw Abandon{};
    }
    if (!ackMode_ && words[0] != CmdAckMode) {
        Complain("command " + Hex(words[0]) + " before ack mode");
    }
    DWORD count = words[1];
    DWORD address = (static_cast<DWORD>(words[2]) << 16) | words[3];
    switch (words[0]) {
    case CmdAckMode:
        return AckMode();
    case CmdFlashInit:
        return FlashInit();
    case CmdRemoveDriver:
        return RemoveDriver();
    case CmdSoftwareVersion:
        return SoftwareVersion();
    case CmdEraseAll:
        return EraseAll();
    case CmdReadBlock:
        return ReadBlock(count, address);
    case CmdWriteBlock:
        return WriteBlock(count, address);
    case CmdWriteSameWord:
        return WriteSameWord(count, address, words[4]);
    default:
        Complain("unknown command " + Hex(words[0]));
        throw Abandon{};
    }
}

void ScanEngine::AckMode() {
    Reply(Point::CommandAck, CommandAckByte, CmdAckMode);
    Reply(Point::CommandDone, CommandDoneByte, CmdAckMode);
    ExpectAck();
    ackMode_ = true;
}

void ScanEngine::FlashInit() {
    ReplyAcked(Point::CommandAck, CommandAckByte, CmdFlashInit);
    DWORD size = config_.flashWords;
    for (int shift = 24; shift >= 0; shift -= 8) {
        ReplyAcked(Point::FlashSize, static_cast<BYTE>(size >> shift), CmdFlashInit);
    }
    for (char c : config_.version) {
        ReplyAcked(Point::VersionByte, static_cast<BYTE>(c), CmdFlashInit);
    }
    ReplyAcked(Point::VersionByte, 0, CmdFlashInit);
}

void ScanEngine::RemoveDriver() {
    ReplyAcked(Point::CommandAck, CommandAckByte, CmdRemoveDriver);
    ReplyAcked(Point::CommandDone, CommandDoneByte, CmdRemoveDriver);
    stage_ = Stage::DriverRemoved;
    driverRemoved_ = true;
}

void ScanEngine::SoftwareVersion() {
    ReplyAcked(Point::CommandAck, CommandAckByte, CmdSoftwareVersion);
    for (WORD w : config_.softwareVersion) {
        ReplyAcked(Point::SoftwareWordByte, static_cast<BYTE>(w >> 8), CmdSoftwareVersion);
        ReplyAcked(Point::SoftwareWordByte, static_cast<BYTE>(w), CmdSoftwareVersion);
    }
    for (char c : config_.version) {
        ReplyAcked(Point::VersionByte, static_cast<BYTE>(c), CmdSoftwareVersion);
    }
    ReplyAcked(Point::VersionByte, 0, CmdSoftwareVersion);
}

void ScanEngine::EraseAll() {
    ReplyAcked(Point::CommandAck, CommandAckByte, CmdEraseAll);
    flash_.Erase();
    ++erasures_;
    ReplyAcked(Point::CommandDone, CommandDoneByte, CmdEraseAll);
}

void ScanEngine::CheckRange(DWORD count, DWORD address, const char* command) {
    if (count == 0 || count > MaximumTransferWords || !flash_.Holds(address, count)) {
        Complain(std::string(command) + " of " + std::to_string(count) + " words at " +
                 Hex(address) + " outside the flash");
        throw Abandon{};
    }
}

void ScanEngine::ReadBlock(DWORD count, DWORD address) {
    CheckRange(count, address, "read block");
    ReplyAcked(Point::CommandAck, CommandAckByte, CmdReadBlock);
    const WORD* words = flash_.Words().data() + address;
    for (DWORD i = 0; i < count; ++i) {
        ReplyAcked(Point::ReadWordByte, static_cast<BYTE>(words[i] >> 8), CmdReadBlock);
        ReplyAcked(Point::ReadWordByte, static_cast<BYTE>(words[i]), CmdReadBlock);
    }
    DWORD sum = WeightedChecksum(words, count);
    for (int shift = 24; shift >= 0; shift -= 8) {
        ReplyAcked(Point::ReadChecksumByte, static_cast<BYTE>(sum >> shift), CmdReadBlock);
    }
}

void ScanEngine::WriteBlock(DWORD count, DWORD address) {
    CheckRange(count, address, "write block");
    ReplyAcked(Point::CommandAck, CommandAckByte, CmdWriteBlock);
    std::vector<BYTE> bytes(count * 2);
    ReceiveOrAbandon(bytes.data(), static_cast<DWORD>(bytes.size()), "write block data");
    BYTE sum[4];
    ReceiveOrAbandon(sum, 4, "write block checksum");
    std::vector<WORD> words = HighFirstWords(bytes);
    DWORD expected = WeightedChecksum(words.data(), count);
    if (HighFirstDword(sum) != expected) {
        Complain("write block at " + Hex(address) + " checksum " + Hex(HighFirstDword(sum)) +
                 " != " + Hex(expected));
        throw Abandon{};
    }
    flash_.Program(address, words.data(), count);
    ++blockWrites_;
    ReplyAcked(Point::CommandDone, CommandDoneByte, CmdWriteBlock);
}

void ScanEngine::WriteSameWord(DWORD count, DWORD address, WORD word) {
    CheckRange(count, address, "write same word");
    ReplyAcked(Point::CommandAck, CommandAckByte, CmdWriteSameWord);
    flash_.ProgramSame(address, count, word);
    ++sameWordWrites_;
    ReplyAcked(Point::CommandDone, CommandDoneByte, CmdWriteSameWord);
}

void ScanEngine::Reply(Point point, BYTE value, BYTE command) {
    Decision decision = faults_.Apply(point, command, value);
    if (decision.delayMs != 0 && !link_->Pause(decision.delayMs)) {
        throw Abandon{};
    }
    if (decision.silent) {
        throw Abandon{};
    }
    link_->Send(decision.byte);
}

void ScanEngine::ReplyAcked(Point point, BYTE value, BYTE command) {
    Reply(point, value, command);
    ExpectAck();
}

void ScanEngine::ExpectAck() {
    BYTE ack = 0;
    ReceiveOrAbandon(&ack, 1, "an ack");
    if (ack != HostAckByte) {
        Complain("byte " + Hex(ack) + " instead of an ack");
        throw Abandon{};
    }
}

// The lines count while the engine waits, and once they have dropped in the
// middle of an exchange it hears nothing more of it. Its supply holds up for a
// moment though: a byte that arrived while it listened is received and
// handled even when the host drops the lines right after sending it (as it
// does after the last ack of a driver removal) and the engine's thread only
// gets to it afterwards.
bool ScanEngine::StillListening() {
    if (lines_->Powered() && lines_->FlashMode()) {
        listenedAt_ = ::GetTickCount();
        return true;
    }
    return ::GetTickCount() - listenedAt_ < HoldUpMs;
}

void ScanEngine::ReceiveOrAbandon(BYTE* bytes, DWORD count, const char* what) {
    if (!link_->Receive(bytes, count, config_.hostTimeoutMs, [this] { return StillListening(); })) {
        if (!link_->Stopping() && lines_->Powered() && lines_->FlashMode()) {
            Complain(std::string("host silent while sending ") + what);
        }
        throw Abandon{};
    }
    if (config_.received) {
        config_.received(what);
    }
}

} // namespace engine
