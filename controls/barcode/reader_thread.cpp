// The reader thread: one IReaderDevice::Read per request, its result
// converted and left in the completion slot for the control's window.
#include <new>
#include <utility>

#include "HVTEventLog.h"
#include "barcode_events.h"
#include "read_channel.h"
#include "structured_guard.h"

namespace barcode {

namespace {

constexpr LONG kReadBufferBytes = 512;
constexpr DWORD kThreadExitCode = 1;

// The read info record is 30 bytes, and says so.
constexpr USHORT kReadInfoSize = 30;
static_assert(sizeof(ReadInfo) == kReadInfoSize);

DATE ToDate(const SYSTEMTIME& time) {
    DATE date = 0;
    SYSTEMTIME copy = time;
    return ::SystemTimeToVariantTime(&copy, &date) ? date : 0;
}

void Log(DWORD code, DWORD first = 0, DWORD second = 0) {
    HVTLogEvent(code, first, second);
}

// What the thread reuses for every read.
struct ReadBuffers {
    BYTE data[kReadBufferBytes];
    wchar_t converted[kReadBufferBytes];
    LONG count;
    ReadInfo info;
};

} // namespace

ReadChannel::ReadChannel()
    : requestEvent(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      exitEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    ::InitializeCriticalSection(&slotLock_);
}

ReadChannel::~ReadChannel() {
    ::DeleteCriticalSection(&slotLock_);
}

bool ReadChannel::Start(IReaderDevice* reader) {
    reader_ = common::ComPtr<IReaderDevice>(reader);
    auto* held = new (std::nothrow) std::shared_ptr<ReadChannel>(shared_from_this());
    if (held == nullptr) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    thread.reset(::CreateThread(nullptr, 0, &ReadChannel::ThreadMain, held, 0, nullptr));
    if (!thread) {
        delete held;
        return false;
    }
    return true;
}

void ReadChannel::Store(ReadCompletion&& completion) {
    ::EnterCriticalSection(&slotLock_);
    slot_ = std::move(completion); // releases the data that was there
    filled_ = true;
    ::LeaveCriticalSection(&slotLock_);
}

ReadChannel::Copied ReadChannel::Copy(ReadCompletion& out) {
    ::EnterCriticalSection(&slotLock_);
    if (!filled_) {
        ::LeaveCriticalSection(&slotLock_);
        return Copied::kNothingYet;
    }
    out.status = slot_.status;
    out.symbology = slot_.symbology;
    out.dataType = slot_.dataType;
    out.time = slot_.time;
    // Byte data may end in half a character: copy by bytes.
    const BSTR data = slot_.data.get();
    out.data.reset(data != nullptr ? ::SysAllocStringByteLen(reinterpret_cast<const char*>(data),
                                                             ::SysStringByteLen(data))
                                   : nullptr);
    const bool copied = slot_.data.get() == nullptr || out.data.get() != nullptr;
    ::LeaveCriticalSection(&slotLock_);
    return copied ? Copied::kCompletion : Copied::kNoMemory;
}

DWORD WINAPI ReadChannel::ThreadMain(LPVOID parameter) {
    std::shared_ptr<ReadChannel> channel =
        std::move(*static_cast<std::shared_ptr<ReadChannel>*>(parameter));
    delete static_cast<std::shared_ptr<ReadChannel>*>(parameter);
    RunGuarded([](void* c) { static_cast<ReadChannel*>(c)->ReadLoop(); }, channel.get());
    return kThreadExitCode;
}

void ReadChannel::ReadLoop() {
    ReadBuffers buffers;
    HANDLE waits[] = {exitEvent.get(), requestEvent.get()};
    for (;;) {
        buffers.count = 0;
        buffers.info = {};
        buffers.info.size = kReadInfoSize;
        const DWORD woken = ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0) {
            return;
        }
        if (woken != WAIT_OBJECT_0 + 1) {
            continue;
        }
        readPending = true;
        Log(hvt::barcode::ReadStarted);
        const HRESULT result = reader_->Read(buffers.data, kReadBufferBytes, &buffers.count,
                                             &buffers.info, readTimeout.load());
        Log(hvt::barcode::ReadReturned, static_cast<DWORD>(result));
        readPending = false;
        const UINT count = buffers.count > 0 && buffers.count <= kReadBufferBytes
                               ? static_cast<UINT>(buffers.count)
                               : 0;
        ReadCompletion completion;
        if (SUCCEEDED(result)) {
            if (count == 0) {
                continue; // nothing read, nothing to tell
            }
            if (convertToUnicode.load() != VARIANT_FALSE) {
                for (wchar_t& c : buffers.converted) {
                    c = L'\0';
                }
                ::MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(buffers.data),
                                      static_cast<int>(count), buffers.converted, kReadBufferBytes);
                completion.data.reset(::SysAllocStringLen(buffers.converted, count));
            } else {
                completion.data.reset(
                    ::SysAllocStringByteLen(reinterpret_cast<const char*>(buffers.data), count));
            }
            completion.status = completion.data.get() != nullptr ? result : E_FAIL;
            completion.time = ToDate(buffers.info.time);
        } else if (result == READER_E_READ_CANCELLED) {
            continue;
        } else {
            Log(hvt::barcode::ReadFailed, static_cast<DWORD>(result));
            completion.status = result;
            completion.data.reset(
                ::SysAllocStringByteLen(reinterpret_cast<const char*>(buffers.data), count));
            SYSTEMTIME now;
            ::GetLocalTime(&now);
            completion.time = ToDate(now);
        }
        completion.symbology = buffers.info.symbology;
        completion.dataType = buffers.info.dataType;
        Store(std::move(completion));
        ::PostMessageW(window.load(), kCompleteReadMessage, 0, 0);
    }
}

} // namespace barcode
