// Decoding and encoding through the JPEG library. Its fatal errors come back
// through longjmp: nothing between a recovery point and the library's calls
// owns anything that needs a destructor.
#include "jpeg_codec.h"

#include "jpeg_library.h"

namespace {

[[noreturn]] void ReturnToCaller(j_common_ptr library) {
    (*library->err->output_message)(library);
    std::longjmp(reinterpret_cast<JpegErrorHandler*>(library->err)->recovery, 1);
}

bool Decode(FILE* file, HDC dc, DibImage& image) noexcept {
    jpeg_decompress_struct decoder{};
    JpegErrorHandler errors{};
    InstallJpegErrorHandler(reinterpret_cast<j_common_ptr>(&decoder), errors);
    if (setjmp(errors.recovery) != 0) {
        jpeg_destroy_decompress(&decoder);
        image.Clear();
        return false;
    }
    jpeg_create_decompress(&decoder);
    jpeg_stdio_src(&decoder, file);
    jpeg_read_header(&decoder, TRUE);
    if (decoder.num_components == 3 && decoder.out_color_space == JCS_RGB) {
        decoder.out_color_space = JCS_EXT_BGR;
    }
    jpeg_start_decompress(&decoder);

    const WORD bitCount = static_cast<WORD>(8 * decoder.output_components);
    RGBQUAD greys[DibImage::kMaxColors];
    for (int i = 0; i < DibImage::kMaxColors; ++i) {
        greys[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    }
    if (!image.Create(dc, static_cast<LONG>(decoder.output_width),
                      static_cast<LONG>(decoder.output_height), bitCount,
                      bitCount == 8 ? greys : nullptr, DibImage::kMaxColors, nullptr)) {
        jpeg_destroy_decompress(&decoder);
        return false;
    }
    // The top of the picture is the last stored row of the bottom-up section.
    while (decoder.output_scanline < decoder.output_height) {
        JSAMPROW row =
            image.Row(static_cast<LONG>(decoder.output_height - 1 - decoder.output_scanline));
        jpeg_read_scanlines(&decoder, &row, 1);
    }
    jpeg_finish_decompress(&decoder);
    jpeg_destroy_decompress(&decoder);
    ::GdiFlush();
    return true;
}

bool Encode(FILE* file, const DibImage& image, int quality) noexcept {
    jpeg_compress_struct encoder{};
    JpegErrorHandler errors{};
    InstallJpegErrorHandler(reinterpret_cast<j_common_ptr>(&encoder), errors);
    if (setjmp(errors.recovery) != 0) {
        jpeg_destroy_compress(&encoder);
        return false;
    }
    jpeg_create_compress(&encoder);
    jpeg_stdio_dest(&encoder, file);
    encoder.image_width = static_cast<JDIMENSION>(image.header().biWidth);
    encoder.image_height = static_cast<JDIMENSION>(image.header().biHeight);
    encoder.input_components = 3;
    encoder.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&encoder);
    jpeg_set_quality(&encoder, quality, TRUE);
    jpeg_start_compress(&encoder, TRUE);
    ::GdiFlush();
    while (encoder.next_scanline < encoder.image_height) {
        JSAMPROW row =
            image.Row(static_cast<LONG>(encoder.image_height - 1 - encoder.next_scanline));
        jpeg_write_scanlines(&encoder, &row, 1);
    }
    jpeg_finish_compress(&encoder);
    jpeg_destroy_compress(&encoder);
    return true;
}

} // namespace

void InstallJpegErrorHandler(j_common_ptr library, JpegErrorHandler& handler) noexcept {
    library->err = jpeg_std_error(&handler.manager);
    handler.manager.error_exit = ReturnToCaller;
}

bool DecodeJpegFile(const wchar_t* path, HDC dc, DibImage& image) noexcept {
    image.Clear();
    FILE* file = _wfopen(path, L"rb");
    if (file == nullptr) {
        return false;
    }
    const bool decoded = Decode(file, dc, image);
    fclose(file);
    return decoded;
}

bool EncodeJpegFile(const wchar_t* path, const DibImage& image, int quality) noexcept {
    if (image.empty() || image.header().biBitCount != 24) {
        return false;
    }
    FILE* file = _wfopen(path, L"wb");
    if (file == nullptr) {
        return false;
    }
    bool encoded = Encode(file, image, quality);
    if (fclose(file) != 0) {
        encoded = false;
    }
    return encoded;
}
