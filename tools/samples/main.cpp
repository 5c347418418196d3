// Q4MSampleFiles: writes a sample flash driver and firmware image.
//
//   Q4MSampleFiles DRIVER IMAGE [--image-bytes N] [--driver-blocks N] [--old-format]
//
// --image-bytes is the image's payload (default 64 KiB); the 88-byte hardware
// header goes in front of it unless --old-format is given.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "common/handle.h"
#include "sample_files.h"

namespace {

bool Write(const wchar_t* path, const std::string& bytes) {
    common::UniqueFile file(
        ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file &&
           ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

} // namespace

int wmain(int count, wchar_t** values) {
    size_t imageBytes = 64 * 1024;
    size_t driverBlocks = 16;
    bool header = true;
    const wchar_t* paths[2] = {nullptr, nullptr};
    int given = 0;
    for (int i = 1; i < count; ++i) {
        if (std::wcscmp(values[i], L"--image-bytes") == 0 && i + 1 < count) {
            imageBytes = std::wcstoul(values[++i], nullptr, 0);
        } else if (std::wcscmp(values[i], L"--driver-blocks") == 0 && i + 1 < count) {
            driverBlocks = std::wcstoul(values[++i], nullptr, 0);
        } else if (std::wcscmp(values[i], L"--old-format") == 0) {
            header = false;
        } else if (given < 2) {
            paths[given++] = values[i];
        } else {
            given = 3;
        }
    }
    if (given != 2 || driverBlocks < 1 || driverBlocks > 128 || imageBytes < 256) {
        std::fprintf(stderr, "usage: Q4MSampleFiles DRIVER IMAGE [--image-bytes N]"
                             " [--driver-blocks 1-128] [--old-format]\n");
        return 2;
    }
    try {
        if (!Write(paths[0], samples::MakeFlashDriver(driverBlocks)) ||
            !Write(paths[1], samples::MakeFirmwareImage(imageBytes, header))) {
            std::fprintf(stderr, "Q4MSampleFiles: cannot write (error %lu)\n", ::GetLastError());
            return 1;
        }
    } catch (...) {
        std::fprintf(stderr, "Q4MSampleFiles: out of memory\n");
        return 1;
    }
    std::printf("flash driver: %ls (%u bytes)\nfirmware image: %ls (%u bytes of payload, %s)\n",
                paths[0], static_cast<unsigned>(driverBlocks * 256), paths[1],
                static_cast<unsigned>(imageBytes),
                header ? "after the 88-byte hardware header" : "old format");
    return 0;
}
