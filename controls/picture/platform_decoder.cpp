// The platform image decoder's road: the file is read through its callback
// in 16384-byte pieces, and the bitmap it returns is imported and deleted.
#include "platform_decoder.h"

#include <memory>
#include <new>

#include "common/handle.h"
#include "imgdecmp.h"

namespace {

constexpr DWORD kReadBufferSize = 16384;

DWORD CALLBACK ReadFromFile(LPSTR buffer, DWORD size, LPARAM user) {
    const HANDLE file = reinterpret_cast<HANDLE>(user);
    if (file == INVALID_HANDLE_VALUE || file == nullptr) {
        return 0;
    }
    DWORD read = 0;
    return ::ReadFile(file, buffer, size, &read, nullptr) ? read : 0;
}

BOOL CALLBACK KeepGoing(void*, BOOL, LPARAM) {
    return TRUE;
}

DecompressImageFunction DecoderEntry() noexcept {
    // Loaded once and kept for the life of the process, as the platform's is.
    static const HMODULE module = ::LoadLibraryW(L"imgdecmp.dll");
    if (module == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<DecompressImageFunction>(reinterpret_cast<void*>(
        ::GetProcAddress(module, MAKEINTRESOURCEA(kDecompressImageOrdinal))));
}

} // namespace

bool DecodeWithPlatform(const wchar_t* path, HDC dc, DibImage& image) noexcept {
    image.Clear();
    const DecompressImageFunction decompress = DecoderEntry();
    if (decompress == nullptr) {
        return false;
    }
    common::UniqueFile file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[kReadBufferSize]);
    if (!buffer) {
        return false;
    }
    const int screenBits = ::GetDeviceCaps(dc, BITSPIXEL);
    HBITMAP decoded = nullptr;
    DecodeRequest request{};
    request.size = sizeof(request);
    request.buffer = buffer.get();
    request.bufferSize = kReadBufferSize;
    request.bitmap = &decoded;
    request.bitDepth = screenBits > 8 ? 24 : screenBits;
    request.user = reinterpret_cast<LPARAM>(file.get());
    request.dc = dc;
    request.scale = 100;
    request.maxWidth = 10000;
    request.maxHeight = 10000;
    request.read = ReadFromFile;
    request.progress = KeepGoing;
    const HRESULT hr = decompress(&request);
    common::UniqueGdiObject bitmap(decoded);
    if (FAILED(hr) || !bitmap) {
        return false;
    }
    return image.Import(dc, static_cast<HBITMAP>(bitmap.get()), nullptr);
}
