// Q4MEngineSim: the simulated scan engine as a program, serving the far end
// of the terminal's engine line until the flash driver has been removed (or
// the time allowed has passed), then reporting on its flash.
//
//   Q4MEngineSim [--port NAME] [--flash-words N] [--version TEXT] [--preset FILE]
//                [--save FILE] [--expect IMAGE] [--transcript FILE] [--seconds N]
//                [--pace BAUD] [--lines terminal|always] [--blocks LIST] [--fault FAULT]...
//
// By default the engine follows the terminal's power and flash-mode lines;
// "--lines always" keeps it listening as if powered up in flash mode.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/handle.h"
#include "engine/fault_text.h"
#include "engine/power_lines.h"
#include "engine/scan_engine.h"
#include "engine/serial_link.h"
#include "engine/verdict.h"

namespace {

struct Options {
    std::wstring port = L"\\\\.\\COM14";
    std::wstring preset, save, expect, transcript;
    DWORD seconds = 300;
    bool followLines = true;
    engine::EngineConfig config;
};

std::string Narrow(const std::wstring& text) {
    int length = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(length > 0 ? length - 1 : 0, '\0');
    if (length > 1) {
        ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow.data(), length, nullptr, nullptr);
    }
    return narrow;
}

bool Parse(const std::vector<std::wstring>& args, Options& options) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (i + 1 >= args.size()) {
            return false;
        }
        const std::wstring& name = args[i];
        const std::wstring& value = args[++i];
        if (name == L"--port") {
            options.port = value;
        } else if (name == L"--flash-words") {
            options.config.flashWords = std::wcstoul(value.c_str(), nullptr, 0);
        } else if (name == L"--version") {
            options.config.version = Narrow(value);
        } else if (name == L"--preset") {
            options.preset = value;
        } else if (name == L"--save") {
            options.save = value;
        } else if (name == L"--expect") {
            options.expect = value;
        } else if (name == L"--transcript") {
            options.transcript = value;
        } else if (name == L"--seconds") {
            options.seconds = std::wcstoul(value.c_str(), nullptr, 0);
        } else if (name == L"--pace") {
            options.config.pacingBaud = std::wcstoul(value.c_str(), nullptr, 0);
        } else if (name == L"--lines" && (value == L"terminal" || value == L"always")) {
            options.followLines = value == L"terminal";
        } else if (name == L"--blocks") {
            if (!engine::ParseBlockOrder(value, &options.config.blockOrder)) {
                return false;
            }
        } else if (name == L"--fault") {
            engine::Fault fault;
            if (!engine::ParseFault(value, &fault)) {
                return false;
            }
            options.config.faults.push_back(fault);
        } else {
            return false;
        }
    }
    return true;
}

int Serve(const Options& options) {
    engine::TerminalLines lines;
    engine::EngineConfig config = options.config;
    if (options.followLines) {
        config.lines = &lines;
    }
    engine::ScanEngine engine(config);
    if (!options.preset.empty() && !engine.Flash().PresetFromFile(options.preset)) {
        std::fprintf(stderr, "Q4MEngineSim: cannot read %s\n", Narrow(options.preset).c_str());
        return 2;
    }
    common::UniqueFile port(::CreateFileW(options.port.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
    if (!port) {
        std::fprintf(stderr, "Q4MEngineSim: cannot open %s (error %lu)\n",
                     Narrow(options.port).c_str(), ::GetLastError());
        return 2;
    }
    // A timer that fires when the time allowed is up is the engine's stop signal.
    common::UniqueKernel deadline(::CreateWaitableTimerW(nullptr, TRUE, nullptr));
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(options.seconds) * 10000000;
    engine::Transcript transcript;
    engine::SerialLink link(port.get(), deadline.get(), transcript, options.config.pacingBaud);
    if (!deadline || !::SetWaitableTimer(deadline.get(), &due, 0, nullptr, nullptr, FALSE) ||
        !link.Prepare()) {
        std::fprintf(stderr, "Q4MEngineSim: cannot prepare %s\n", Narrow(options.port).c_str());
        return 2;
    }
    std::printf("Q4MEngineSim: listening on %s\n", Narrow(options.port).c_str());
    std::fflush(stdout);
    engine.Run(link, true);

    std::printf("%s", engine::SessionSummary(engine).c_str());
    std::printf("wire: %u bytes from the host, %u from the engine\n",
                static_cast<unsigned>(transcript.Sent(engine::Direction::FromHost).size()),
                static_cast<unsigned>(transcript.Sent(engine::Direction::FromEngine).size()));
    if (!options.save.empty() && !engine.Flash().Save(options.save)) {
        std::fprintf(stderr, "Q4MEngineSim: cannot write %s\n", Narrow(options.save).c_str());
    }
    if (!options.transcript.empty()) {
        std::string text = transcript.Text();
        common::UniqueFile file(::CreateFileW(options.transcript.c_str(), GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        if (!file || !::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()),
                                  &written, nullptr)) {
            std::fprintf(stderr, "Q4MEngineSim: cannot write the transcript\n");
        }
    }
    if (!options.expect.empty()) {
        std::string verdict = engine::FlashVerdict(engine, options.expect);
        std::printf("verdict: %s\n", verdict.c_str());
        return verdict.rfind("flash holds the image", 0) == 0 ? 0 : 1;
    }
    return engine.DriverRemoved() ? 0 : 1;
}

} // namespace

int main() {
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::wstring> args;
    for (int i = 1; argv != nullptr && i < count; ++i) {
        args.emplace_back(argv[i]);
    }
    ::LocalFree(argv);
    Options options;
    if (!Parse(args, options)) {
        std::fprintf(stderr,
                     "usage: Q4MEngineSim [--port NAME] [--flash-words N] [--version TEXT]"
                     " [--preset FILE] [--save FILE] [--expect IMAGE] [--transcript FILE]"
                     " [--seconds N] [--pace BAUD] [--lines terminal|always]"
                     " [--blocks LIST] [--fault POINT:ACTION[:VALUE[:COMMAND[:OCCURRENCE]]]]..."
                     "\n");
        return 2;
    }
    try {
        return Serve(options);
    } catch (...) {
        std::fprintf(stderr, "Q4MEngineSim: out of memory\n");
        return 3;
    }
}
