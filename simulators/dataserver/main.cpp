// HVTDataServer.exe: the terminal's data server as far as the scan engine is
// concerned. It holds the engine's serial port while it runs and performs the
// firmware downloads that its "Harvanti.BarCodeReader" objects hand over.
//
//   HVTDataServer [/pCOM4]    hold the port (default COM4:) and serve
//   HVTDataServer /stop       ask the running data server to stop
//   HVTDataServer /restore    put back a port mapping a dead server left withdrawn
#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <string>

#include "common/handle.h"
#include "port_hold.h"
#include "port_mapping.h"
#include "request_server.h"
#include "server_link.h"

namespace {

enum ExitCode { Done = 0, Failed = 1, Usage = 2, AlreadyRunning = 3 };

struct Arguments {
    std::wstring port = L"COM4:";
    bool stop = false;
    bool restore = false;
};

bool Parse(int count, wchar_t** values, Arguments& arguments) {
    for (int i = 1; i < count; ++i) {
        std::wstring argument = values[i];
        if (!argument.empty() && (argument[0] == L'/' || argument[0] == L'-')) {
            argument.erase(0, 1);
        }
        std::wstring lower = argument;
        for (wchar_t& c : lower) {
            c = static_cast<wchar_t>(std::towlower(c));
        }
        if (lower == L"stop") {
            arguments.stop = true;
        } else if (lower == L"restore") {
            arguments.restore = true;
        } else if (lower.size() > 1 && lower[0] == L'p') {
            arguments.port = argument.substr(1);
            if (arguments.port.back() != L':' && arguments.port.rfind(L"\\\\.\\", 0) != 0) {
                arguments.port += L":";
            }
        } else {
            return false;
        }
    }
    return true;
}

int Stop() {
    dataserver::Reply reply{};
    const HRESULT result = dataserver::Call(dataserver::Command::Stop, L"", 10000, reply);
    if (FAILED(result)) {
        std::fprintf(stderr, "HVTDataServer: no data server answered (0x%08lx)\n",
                     static_cast<unsigned long>(result));
        return Failed;
    }
    return Done;
}

int Serve(const std::wstring& portName) {
    common::UniqueKernel instance(::CreateMutexW(nullptr, TRUE, dataserver::kInstanceMutexName));
    if (!instance || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        std::fprintf(stderr, "HVTDataServer: a data server is already running\n");
        return AlreadyRunning;
    }
    common::UniqueKernel ready(::CreateEventW(nullptr, TRUE, FALSE, dataserver::kReadyEventName));
    dataserver::PortHold port(portName);
    if (!port.Acquire()) {
        std::fprintf(stderr, "HVTDataServer: cannot hold %ls (error %lu)\n", portName.c_str(),
                     ::GetLastError());
        return Failed;
    }
    std::printf("HVTDataServer: holding %ls\n", portName.c_str());
    std::fflush(stdout);
    dataserver::RequestServer server(port);
    const bool stopped = server.Serve(ready.get());
    port.Release();
    std::printf("HVTDataServer: stopped\n");
    return stopped ? Done : Failed;
}

} // namespace

int wmain(int count, wchar_t** values) {
    try {
        Arguments arguments;
        if (!Parse(count, values, arguments)) {
            std::fprintf(stderr, "usage: HVTDataServer [/pCOM4] | /stop | /restore\n");
            return Usage;
        }
        if (arguments.stop) {
            return Stop();
        }
        if (arguments.restore) {
            return dataserver::PortMapping(arguments.port).RepairStale() ? Done : Failed;
        }
        return Serve(arguments.port);
    } catch (...) {
        return Failed;
    }
}
