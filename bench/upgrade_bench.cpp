// A complete upgrade of a 256 KiB image with the simulated engine pacing the
// line at 38400 baud (ten bit times a byte, each way). Prints the elapsed
// time against the time the bytes alone need on the wire, and what the
// same-word blocks saved.
//
//   tools/terminal run build/bin/upgrade_bench.exe
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/handle.h"
#include "engine/engine_thread.h"
#include "protocol.h"
#include "best_time.h"

namespace {

constexpr DWORD Baud = 38400;
constexpr size_t ImageBytes = 256 * 1024;
constexpr size_t DataBytes = ImageBytes * 3 / 4; // the rest is erased-state padding
// Bytes of one write block exchange and of one same-word exchange, both ways.
constexpr size_t WriteBlockExchange = 14 + 1 + 1 + 256 + 4 + 1 + 1;
constexpr size_t SameWordExchange = 14 + 1 + 1 + 1 + 1;

bool WriteFile(const char* path, const std::string& bytes) {
    common::UniqueFile file(
        ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                               nullptr);
}

std::string Image() {
    std::string bytes(ImageBytes, '\xFF');
    unsigned value = 1;
    for (size_t i = 0; i < DataBytes; ++i) {
        value = value * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(value >> 16);
    }
    return bytes;
}

HANDLE OpenTerminalEnd() {
    HANDLE port = ::CreateFileW(L"COM4:", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                0, nullptr);
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    dcb.BaudRate = Baud;
    dcb.fBinary = TRUE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    ::SetCommState(port, &dcb);
    ::PurgeComm(port, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    return port;
}

} // namespace

int main() {
    const char* driverPath = "C:\\upgrade_bench_driver.bin";
    const char* imagePath = "C:\\upgrade_bench_image.bin";
    if (!WriteFile(driverPath, std::string(4096, '\x5A')) || !WriteFile(imagePath, Image())) {
        std::printf("cannot write the bench files\n");
        return 1;
    }
    engine::EngineConfig config;
    config.flashWords = 0x40000;
    config.pacingBaud = Baud;
    engine::EngineThread engine(config);
    if (!engine.Start()) {
        std::printf("cannot open the engine's end of the line\n");
        return 1;
    }
    common::UniqueFile port(OpenTerminalEnd());
    const double start = bench::Now();
    LONG result = Upgrade(port.get(), driverPath, imagePath);
    const double elapsed = bench::Now() - start;
    engine.Stop();
    ::DeleteFileA(driverPath);
    ::DeleteFileA(imagePath);

    size_t wireBytes = engine.Wire().Bytes().size();
    double wireTime = wireBytes * 10.0 / Baud;
    int same = engine.Engine().SameWordWrites();
    int blocks = engine.Engine().BlockWrites();
    size_t saved = static_cast<size_t>(same) * (WriteBlockExchange - SameWordExchange);
    std::printf("upgrade of a %zu KiB image at %lu baud: %s\n", ImageBytes / 1024, Baud,
                result == Q4M_SUCCESS ? "succeeded" : "FAILED");
    std::printf("bytes on the wire (both ways): %zu\n", wireBytes);
    std::printf("elapsed %.2f s, wire time %.2f s, elapsed / wire = %.3f\n", elapsed, wireTime,
                elapsed / wireTime);
    std::printf("blocks: %d written whole, %d as same-word frames; bytes saved %zu "
                "(%.1f%% of the wire bytes a whole-block upgrade would need)\n",
                blocks, same, saved, 100.0 * saved / (wireBytes + saved));
    return result == Q4M_SUCCESS ? 0 : 1;
}
