#include "server_link.h"

#include <cwchar>

#include "common/handle.h"

namespace dataserver {

const wchar_t kPipeName[] = L"\\\\.\\pipe\\HVTDataServer";
const wchar_t kReadyEventName[] = L"HVTDataServer.Ready";
const wchar_t kInstanceMutexName[] = L"HVTDataServer.Instance";

bool PutText(wchar_t (&field)[kTextChars], const std::wstring& text) {
    if (text.size() >= kTextChars) {
        return false;
    }
    std::wmemcpy(field, text.c_str(), text.size() + 1);
    return true;
}

namespace {

HRESULT LastError() {
    const DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

// One overlapped transfer that gives up after timeoutMs.
HRESULT Transfer(HANDLE pipe, bool write, void* buffer, DWORD size, DWORD timeoutMs, DWORD& done) {
    common::UniqueKernel event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event) {
        return LastError();
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    const BOOL started = write ? ::WriteFile(pipe, buffer, size, nullptr, &overlapped)
                               : ::ReadFile(pipe, buffer, size, nullptr, &overlapped);
    if (!started && ::GetLastError() != ERROR_IO_PENDING) {
        return LastError();
    }
    if (::WaitForSingleObject(event.get(), timeoutMs) != WAIT_OBJECT_0) {
        ::CancelIo(pipe);
        ::GetOverlappedResult(pipe, &overlapped, &done, TRUE);
        return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
    }
    if (!::GetOverlappedResult(pipe, &overlapped, &done, FALSE)) {
        return LastError();
    }
    return S_OK;
}

} // namespace

HRESULT Call(Command command, const std::wstring& text, DWORD timeoutMs, Reply& reply) {
    Request request{};
    request.command = static_cast<uint32_t>(command);
    if (!PutText(request.text, text)) {
        return E_INVALIDARG;
    }
    if (!::WaitNamedPipeW(kPipeName, timeoutMs)) {
        return LastError();
    }
    common::UniqueFile pipe(::CreateFileW(kPipeName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (!pipe) {
        return LastError();
    }
    DWORD mode = PIPE_READMODE_MESSAGE;
    ::SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr);
    DWORD done = 0;
    HRESULT result = Transfer(pipe.get(), true, &request, sizeof(request), timeoutMs, done);
    if (FAILED(result)) {
        return result;
    }
    reply = Reply{};
    result = Transfer(pipe.get(), false, &reply, sizeof(reply), timeoutMs, done);
    if (FAILED(result)) {
        return result;
    }
    if (done != sizeof(reply)) {
        return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    }
    reply.text[kTextChars - 1] = L'\0';
    return S_OK;
}

} // namespace dataserver
