#include "request_server.h"

#include <cstdio>

#include "common/handle.h"
#include "downloader.h"

namespace dataserver {

bool RequestServer::Serve(HANDLE readyEvent) {
    common::UniqueFile pipe(::CreateNamedPipeW(
        kPipeName, PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1,
        sizeof(Reply), sizeof(Request), 0, nullptr));
    if (!pipe) {
        return false;
    }
    ::SetEvent(readyEvent);
    for (;;) {
        if (!::ConnectNamedPipe(pipe.get(), nullptr) && ::GetLastError() != ERROR_PIPE_CONNECTED) {
            return false;
        }
        Request request{};
        DWORD got = 0;
        bool more = true;
        if (::ReadFile(pipe.get(), &request, sizeof(request), &got, nullptr) &&
            got == sizeof(request)) {
            request.text[kTextChars - 1] = L'\0';
            Reply reply{};
            more = Handle(request, reply);
            DWORD written = 0;
            ::WriteFile(pipe.get(), &reply, sizeof(reply), &written, nullptr);
            ::FlushFileBuffers(pipe.get());
        }
        ::DisconnectNamedPipe(pipe.get());
        if (!more) {
            ::ResetEvent(readyEvent);
            return true;
        }
    }
}

bool RequestServer::Handle(const Request& request, Reply& reply) {
    reply.status = S_OK;
    switch (static_cast<Command>(request.command)) {
    case Command::Ping:
        break;
    case Command::PortName:
        PutText(reply.text, port_.Name());
        break;
    case Command::ProcessId:
        reply.value = static_cast<int32_t>(::GetCurrentProcessId());
        break;
    case Command::PortHeld:
        reply.value = port_.Held() ? 1 : 0;
        break;
    case Command::ReleasePort:
        port_.Release();
        break;
    case Command::AcquirePort:
        reply.status = port_.Acquire() ? S_OK : HRESULT_FROM_WIN32(ERROR_BUSY);
        break;
    case Command::LastStatus:
        reply.value = lastStatus_;
        break;
    case Command::LastDescription:
        PutText(reply.text, lastDescription_);
        break;
    case Command::DownloadCount:
        reply.value = downloads_;
        break;
    case Command::LibraryPath:
        PutText(reply.text, UpgradeLibraryPath());
        break;
    case Command::Stop:
        port_.Release();
        return false;
    case Command::Download:
        lastDescription_ = request.text;
        std::printf("HVTDataServer: download %ls\n", request.text);
        lastStatus_ = RunDownload(port_, lastDescription_);
        ++downloads_;
        std::printf("HVTDataServer: download status 0x%08lx\n",
                    static_cast<unsigned long>(lastStatus_));
        std::fflush(stdout);
        reply.status = lastStatus_;
        break;
    default:
        reply.status = E_NOTIMPL;
        break;
    }
    return true;
}

} // namespace dataserver
