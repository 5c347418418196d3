// The platform image decoder on the desktop's imaging component: GIF, PNG,
// BMP and whatever else it can read, returned as a 24-bit DIB section that
// the caller owns.
#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/com.h"
#include "common/handle.h"
#include "imgdecmp.h"

namespace {

// A picture file larger than this is not a picture the terminal can hold.
constexpr size_t kLargestFile = 64u << 20;
// Nor is a bitmap larger than this.
constexpr uint64_t kLargestBitmap = 512u << 20;

bool Continue(const DecodeRequest& request, BOOL complete) {
    return request.progress == nullptr ||
           request.progress(nullptr, complete, request.user) != FALSE;
}

// The whole file, through the caller's read callback and buffer.
HRESULT ReadAll(const DecodeRequest& request, std::vector<BYTE>& data) {
    for (;;) {
        DWORD read =
            request.read(reinterpret_cast<LPSTR>(request.buffer), request.bufferSize, request.user);
        if (read == 0) {
            return data.empty() ? E_FAIL : S_OK;
        }
        read = std::min(read, request.bufferSize);
        if (data.size() + read > kLargestFile) {
            return E_OUTOFMEMORY;
        }
        data.insert(data.end(), request.buffer, request.buffer + read);
    }
}

// The size the caller wants: scaled, then fitted inside the largest size
// with the picture's proportions kept.
void TargetSize(const DecodeRequest& request, UINT width, UINT height, UINT& outWidth,
                UINT& outHeight) {
    uint64_t w = width, h = height;
    if (request.scale > 0 && request.scale != 100) {
        w = std::max<uint64_t>(1, w * static_cast<uint64_t>(request.scale) / 100);
        h = std::max<uint64_t>(1, h * static_cast<uint64_t>(request.scale) / 100);
    }
    if (request.maxWidth > 0 && w > static_cast<uint64_t>(request.maxWidth)) {
        h = std::max<uint64_t>(1, h * static_cast<uint64_t>(request.maxWidth) / w);
        w = static_cast<uint64_t>(request.maxWidth);
    }
    if (request.maxHeight > 0 && h > static_cast<uint64_t>(request.maxHeight)) {
        w = std::max<uint64_t>(1, w * static_cast<uint64_t>(request.maxHeight) / h);
        h = static_cast<uint64_t>(request.maxHeight);
    }
    outWidth = static_cast<UINT>(w);
    outHeight = static_cast<UINT>(h);
}

HRESULT Decode(DecodeRequest& request) {
    std::vector<BYTE> data;
    HRESULT hr = ReadAll(request, data);
    if (FAILED(hr)) {
        return hr;
    }
    if (!Continue(request, FALSE)) {
        return E_ABORT;
    }

    common::ComApartment apartment(COINIT_MULTITHREADED);
    common::ComPtr<IWICImagingFactory> factory;
    hr = ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                            IID_IWICImagingFactory, factory.put_void());
    if (FAILED(hr)) {
        return hr;
    }
    common::ComPtr<IWICStream> stream;
    hr = factory->CreateStream(stream.put());
    if (SUCCEEDED(hr)) {
        hr = stream->InitializeFromMemory(data.data(), static_cast<DWORD>(data.size()));
    }
    common::ComPtr<IWICBitmapDecoder> decoder;
    if (SUCCEEDED(hr)) {
        hr = factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.put());
    }
    common::ComPtr<IWICBitmapFrameDecode> frame;
    if (SUCCEEDED(hr)) {
        hr = decoder->GetFrame(0, frame.put());
    }
    UINT width = 0, height = 0;
    if (SUCCEEDED(hr)) {
        hr = frame->GetSize(&width, &height);
    }
    if (FAILED(hr)) {
        return hr;
    }
    if (width == 0 || height == 0) {
        return E_FAIL;
    }

    common::ComPtr<IWICBitmapSource> source(frame.get());
    UINT outWidth = 0, outHeight = 0;
    TargetSize(request, width, height, outWidth, outHeight);
    if (outWidth != width || outHeight != height) {
        common::ComPtr<IWICBitmapScaler> scaler;
        hr = factory->CreateBitmapScaler(scaler.put());
        if (SUCCEEDED(hr)) {
            hr = scaler->Initialize(source.get(), outWidth, outHeight,
                                    WICBitmapInterpolationModeFant);
        }
        if (FAILED(hr)) {
            return hr;
        }
        source = common::ComPtr<IWICBitmapSource>(scaler.get());
    }
    common::ComPtr<IWICFormatConverter> converter;
    hr = factory->CreateFormatConverter(converter.put());
    if (SUCCEEDED(hr)) {
        hr = converter->Initialize(source.get(), GUID_WICPixelFormat32bppBGR,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom);
    }
    if (FAILED(hr)) {
        return hr;
    }

    const uint64_t stride = (static_cast<uint64_t>(outWidth) * 24 + 31) / 32 * 4;
    if (stride * outHeight > kLargestBitmap) {
        return E_OUTOFMEMORY;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(outWidth);
    info.bmiHeader.biHeight = -static_cast<LONG>(outHeight); // rows in the decoder's order
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    common::UniqueGdiObject bitmap(
        ::CreateDIBSection(request.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) {
        return E_OUTOFMEMORY;
    }
    // The converter writes 32-bit rows from every layout (24-bit ones only
    // from 24- and 32-bit colour sources); the bitmap keeps 24.
    const UINT wideStride = outWidth * 4;
    std::vector<BYTE> wide(static_cast<size_t>(wideStride) * outHeight);
    hr = converter->CopyPixels(nullptr, wideStride, static_cast<UINT>(wide.size()), wide.data());
    if (FAILED(hr)) {
        return hr;
    }
    for (UINT y = 0; y < outHeight; ++y) {
        const BYTE* from = &wide[static_cast<size_t>(y) * wideStride];
        BYTE* to = static_cast<BYTE*>(bits) + static_cast<size_t>(y) * stride;
        for (UINT x = 0; x < outWidth; ++x) {
            std::copy_n(from + x * 4, 3, to + x * 3);
        }
    }
    ::GdiFlush();
    if (!Continue(request, TRUE)) {
        return E_ABORT;
    }
    *request.bitmap = static_cast<HBITMAP>(bitmap.release());
    return S_OK;
}

} // namespace

extern "C" HRESULT WINAPI DecompressImageIndirect(DecodeRequest* request) {
    if (request == nullptr || request->size < sizeof(DecodeRequest) || request->bitmap == nullptr ||
        request->read == nullptr || request->buffer == nullptr || request->bufferSize == 0) {
        return E_INVALIDARG;
    }
    *request->bitmap = nullptr;
    try {
        return Decode(*request);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
