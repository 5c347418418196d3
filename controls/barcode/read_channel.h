// What the control and its reader thread share: the two events, the flags
// and arguments of the read, the completion slot and the window the
// completion message goes to. The thread holds the channel (and the reader
// object, and the server) for as long as it runs, so that a thread that
// outlives the teardown's waits never touches a control that is gone.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

#include "HVTDataServer.h"
#include "common/com.h"
#include "common/handle.h"
#include "frame/module.h"

namespace barcode {

// The message that carries a finished read to the control's window.
inline constexpr UINT kCompleteReadMessage = WM_USER + 100;

// The last finished read.
struct ReadCompletion {
    HRESULT status = S_OK;
    common::UniqueBstr data;
    LONG symbology = 0;
    LONG dataType = 0;
    DATE time = 0;
};

class ReadChannel : public std::enable_shared_from_this<ReadChannel> {
public:
    ReadChannel();
    ReadChannel(const ReadChannel&) = delete;
    ReadChannel& operator=(const ReadChannel&) = delete;
    ~ReadChannel();

    // Both events exist.
    bool valid() const noexcept { return requestEvent && exitEvent; }

    // Starts the reader thread over `reader`; false when it cannot run. The
    // channel must be owned by a shared_ptr.
    bool Start(IReaderDevice* reader);

    // Replaces the slot's contents (the reader thread).
    void Store(ReadCompletion&& completion);
    // A copy of the slot (the owner thread, before firing).
    enum class Copied { kCompletion, kNothingYet, kNoMemory };
    Copied Copy(ReadCompletion& out);

    common::UniqueKernel requestEvent; // auto-reset: one signal, one read
    common::UniqueKernel exitEvent;    // manual-reset: the thread ends
    common::UniqueKernel thread;
    std::atomic<bool> readPending{false};
    std::atomic<LONG> readBytes{0};
    std::atomic<LONG> readTimeout{0};
    std::atomic<VARIANT_BOOL> convertToUnicode{VARIANT_TRUE};
    std::atomic<HWND> window{nullptr};

private:
    static DWORD WINAPI ThreadMain(LPVOID parameter);
    void ReadLoop();

    frame::ModuleLock serverLock_;
    common::ComPtr<IReaderDevice> reader_;
    CRITICAL_SECTION slotLock_;
    ReadCompletion slot_;
    bool filled_ = false; // a read of this opening has finished
};

} // namespace barcode
