// The platform image decoder: one decompression entry, ordinal 1 of
// imgdecmp.dll, that reads a picture file through the caller's read callback
// and returns a bitmap that the caller owns.
#pragma once

#include <windows.h>

#include <cstdint>

// Reads up to `size` bytes of the picture into `buffer`; returns the count
// read, 0 at the end or on failure.
using DecodeReadFunction = DWORD(CALLBACK*)(LPSTR buffer, DWORD size, LPARAM user);
// Told how decoding goes; a zero result stops it.
using DecodeProgressFunction = BOOL(CALLBACK*)(void* render, BOOL complete, LPARAM user);

// The decompression record: fifteen 32-bit fields (60 bytes) on the terminal.
struct DecodeRequest {
    DWORD size;          // sizeof(DecodeRequest)
    BYTE* buffer;        // the caller's read buffer
    DWORD bufferSize;    // its size in bytes
    DWORD bufferCurrent; // bytes already in it (0)
    HBITMAP* bitmap;     // where the decoder stores the bitmap it creates
    void** render;       // progressive rendering object; not offered (null)
    int bitDepth;        // the colour depth asked for
    LPARAM user;         // handed to both callbacks
    HDC dc;              // device context the bitmap is for
    int scale;           // percent
    int maxWidth;        // the largest result, in pixels
    int maxHeight;
    DecodeReadFunction read;
    DecodeProgressFunction progress; // may be null
    COLORREF transparentColor;       // unused
};
#if !defined(_WIN64)
static_assert(sizeof(DecodeRequest) == 60, "the terminal's decompression record is 60 bytes");
#endif

// Ordinal 1 of imgdecmp.dll.
using DecompressImageFunction = HRESULT(WINAPI*)(DecodeRequest* request);
inline constexpr WORD kDecompressImageOrdinal = 1;
