// The JPEG library's header as the picture object includes it: after the
// platform headers, whose `boolean` (unsigned char) the library's Windows
// configuration shares.
#pragma once

#include <windows.h>

#include <csetjmp>
#include <cstdio>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

// The library's standard error handler, whose fatal exit returns to the
// caller's recovery point after the message has been printed.
struct JpegErrorHandler {
    jpeg_error_mgr manager;
    std::jmp_buf recovery;
};

void InstallJpegErrorHandler(j_common_ptr library, JpegErrorHandler& handler) noexcept;
