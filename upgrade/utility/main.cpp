// Q4MUpgradeUtility.exe: upgrades (or reads back) the scan engine's firmware.
#include <winsock2.h>
#include <windows.h>

#include "command_line.h"
#include "common/com.h"
#include "upgrade_dialog.h"
#include "utility_log.h"

namespace {

int RunUtility() {
    WSADATA sockets;
    if (::WSAStartup(MAKEWORD(1, 1), &sockets) != 0) {
        ::MessageBoxW(nullptr, L"Windows CE sockets initialization failed.", L"Q4MUpgradeUtility",
                      MB_OK);
        return 1;
    }
    common::ComApartment apartment;
    q4mutil::TheLog().Open();

    q4mutil::LogLine(L"Checking command line for user options.\r\n");
    auto arguments = q4mutil::SplitCommandLine(::GetCommandLineW());
    if (!arguments.empty()) {
        arguments.erase(arguments.begin());
    }
    const q4mutil::Options options = q4mutil::ParseArguments(arguments);
    if (options.flashDriver) {
        q4mutil::LogFormat(L"Flash driver option: %ls\r\n\t", options.flashDriver->c_str());
    }
    if (options.firmwareImage) {
        q4mutil::LogFormat(L"Firmware image option: %ls\r\n\t", options.firmwareImage->c_str());
    }
    if (options.upgradeDll) {
        q4mutil::LogFormat(L"Q4MUpgrade Dll: %ls\r\n\t", options.upgradeDll->c_str());
    }
    if (options.silent) {
        q4mutil::LogLine(L"Silent mode option.\r\n");
    }
    {
        q4mutil::UpgradeDialog dialog(options);
        dialog.DoModal(::GetModuleHandleW(nullptr));
    }
    q4mutil::LogLine(L"Exiting Q4MUpgradeUtility\r\n");
    q4mutil::LogLine(L"Closing log file\r\n");
    q4mutil::TheLog().Close();
    ::WSACleanup();
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    try {
        return RunUtility();
    } catch (...) {
        return 1;
    }
}
