// What loading and saving a 2-megapixel JPEG through the picture object
// costs, as a ratio to the JPEG library's own decoding and encoding of the
// same file by the same build: the object should add little beyond the
// library's work (goal: at most 1.2).
#include <windows.h>
#include <ocidl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "OleVorpel.h"
#include "common/com.h"
#include "jpeg_library.h"
#include "testsupport/server_registration.h"
#include "best_time.h"

namespace {

constexpr JDIMENSION kWidth = 1600;
constexpr JDIMENSION kHeight = 1250;
constexpr int kQuality = 90; // the picture object's default
constexpr int kRounds = 7;   // the best round counts

struct Pair {
    bench::BestTime library;
    bench::BestTime object;
};

template <typename Call> bool Time(Call call, bench::BestTime& best) {
    const double start = bench::Now();
    if (!call()) {
        return false;
    }
    best.Add(bench::Now() - start);
    return true;
}

// The best round of each, the two taking turns so that neither gains from
// running warmer or later.
template <typename Library, typename Object> Pair Compare(Library library, Object object) {
    Pair best;
    for (int round = 0; round < kRounds; ++round) {
        if (!Time(library, best.library) || !Time(object, best.object)) {
            return Pair{};
        }
    }
    return best;
}

std::wstring TempPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

// A photograph-like picture: smooth gradients under noise, so that the
// encoder has real detail to code.
std::unique_ptr<JSAMPLE[]> MakePicture() {
    auto pixels = std::make_unique<JSAMPLE[]>(size_t{kWidth} * kHeight * 3);
    uint32_t noise = 12345;
    for (JDIMENSION y = 0; y < kHeight; ++y) {
        for (JDIMENSION x = 0; x < kWidth; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int jitter = static_cast<int>(noise >> 28) - 8;
            JSAMPLE* p = &pixels[(size_t{y} * kWidth + x) * 3];
            p[0] = static_cast<JSAMPLE>(std::clamp<int>(x * 255 / kWidth + jitter, 0, 255));
            p[1] = static_cast<JSAMPLE>(std::clamp<int>(y * 255 / kHeight + jitter, 0, 255));
            p[2] = static_cast<JSAMPLE>(
                std::clamp<int>((x + y) * 255 / (kWidth + kHeight) - jitter, 0, 255));
        }
    }
    return pixels;
}

// The library's own encoding: blue, green, red rows from a buffer.
bool LibraryEncode(const std::wstring& path, const JSAMPLE* pixels) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) {
        return false;
    }
    jpeg_compress_struct encoder{};
    jpeg_error_mgr errors{};
    encoder.err = jpeg_std_error(&errors);
    jpeg_create_compress(&encoder);
    jpeg_stdio_dest(&encoder, file);
    encoder.image_width = kWidth;
    encoder.image_height = kHeight;
    encoder.input_components = 3;
    encoder.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&encoder);
    jpeg_set_quality(&encoder, kQuality, TRUE);
    jpeg_start_compress(&encoder, TRUE);
    while (encoder.next_scanline < encoder.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&pixels[size_t{encoder.next_scanline} * kWidth * 3]);
        jpeg_write_scanlines(&encoder, &row, 1);
    }
    jpeg_finish_compress(&encoder);
    jpeg_destroy_compress(&encoder);
    return fclose(file) == 0;
}

// The library's own decoding into a new buffer of the picture's size.
bool LibraryDecode(const std::wstring& path, std::unique_ptr<JSAMPLE[]>& pixels) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) {
        return false;
    }
    jpeg_decompress_struct decoder{};
    jpeg_error_mgr errors{};
    decoder.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&decoder);
    jpeg_stdio_src(&decoder, file);
    jpeg_read_header(&decoder, TRUE);
    decoder.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&decoder);
    const size_t stride = (size_t{decoder.output_width} * 3 + 3) & ~size_t{3};
    pixels = std::make_unique<JSAMPLE[]>(stride * decoder.output_height);
    while (decoder.output_scanline < decoder.output_height) {
        JSAMPROW row = &pixels[stride * decoder.output_scanline];
        jpeg_read_scanlines(&decoder, &row, 1);
    }
    jpeg_finish_decompress(&decoder);
    jpeg_destroy_decompress(&decoder);
    fclose(file);
    return true;
}

} // namespace

int main() {
    common::ComApartment apartment;
    if (FAILED(testsupport::RegisterServer(L"OleVorpel.dll"))) {
        std::printf("OleVorpel.dll could not be registered\n");
        return 1;
    }
    common::ComPtr<IPictureVorp> picture;
    if (FAILED(::CoCreateInstance(CLSID_PictureVorp, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IPictureVorp, picture.put_void()))) {
        std::printf("no picture object\n");
        return 1;
    }
    const std::wstring source = TempPath(L"picture_bench.jpg");
    const std::wstring libraryCopy = TempPath(L"picture_bench_library.jpg");
    const std::wstring objectCopy = TempPath(L"picture_bench_object.jpg");
    const auto pixels = MakePicture();
    if (!LibraryEncode(source, pixels.get())) {
        std::printf("the sample picture could not be written\n");
        return 1;
    }
    common::UniqueBstr sourceName(source);
    common::UniqueBstr objectName(objectCopy);

    std::unique_ptr<JSAMPLE[]> decoded;
    const Pair load = Compare([&] { return LibraryDecode(source, decoded); },
                              [&] { return SUCCEEDED(picture->LoadFile(sourceName.get())); });
    // Both save the decoded picture: its detail is what the encoder codes.
    const Pair save =
        Compare([&] { return LibraryEncode(libraryCopy, decoded.get()); },
                [&] { return SUCCEEDED(picture->SaveFile(objectName.get(), PicJPEG)); });
    LONG width = 0, height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    ::DeleteFileW(source.c_str());
    ::DeleteFileW(libraryCopy.c_str());
    ::DeleteFileW(objectCopy.c_str());
    if (!load.library.measured() || !load.object.measured() || !save.library.measured() ||
        !save.object.measured()) {
        std::printf("a load or save failed\n");
        return 1;
    }
    std::printf("%ld x %ld JPEG: library decode %.1f ms, LoadFile %.1f ms; "
                "library encode %.1f ms, SaveFile %.1f ms\n",
                static_cast<long>(width), static_cast<long>(height), load.library.seconds() * 1e3,
                load.object.seconds() * 1e3, save.library.seconds() * 1e3,
                save.object.seconds() * 1e3);
    std::printf("LoadFile / library decode: %.3f (goal <= 1.2)\n",
                load.object.seconds() / load.library.seconds());
    std::printf("SaveFile / library encode: %.3f (goal <= 1.2)\n",
                save.object.seconds() / save.library.seconds());
    return 0;
}
