#include "win32/pictures.h"

#include "win32/com_ptr.h"

#include <wincodec.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

namespace bellwick {

namespace {

void check(HRESULT hr, const char* step)
{
    if (SUCCEEDED(hr)) return;
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    throw std::runtime_error(std::string("picture: ") + step + " failed (" + code + ")");
}

}  // namespace

void Picture::draw(HDC dc, int x, int y) const
{
    if (!bitmap_) return;
    const win32::MemoryDc source(::CreateCompatibleDC(dc));
    if (!source) throw std::runtime_error("picture: no memory device context to draw from");
    const win32::Selection selected(source.get(), bitmap_.get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::AlphaBlend(dc, x, y, width_, height_, source.get(), 0, 0, width_, height_, blend);
}

Picture decodePicture(std::span<const std::byte> bytes, int width, int height)
{
    if (bytes.empty()) throw std::runtime_error("picture: no data");
    win32::ComPtr<IWICImagingFactory> factory;
    check(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                             win32::out(factory)),
          "creating the imaging factory");
    win32::ComPtr<IWICStream> stream;
    check(factory->CreateStream(stream.GetAddressOf()), "creating a stream");
    // WIC only reads the buffer.
    check(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<std::byte*>(bytes.data())),
                                       static_cast<DWORD>(bytes.size())),
          "opening the bytes");
    win32::ComPtr<IWICBitmapDecoder> decoder;
    check(
        factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.GetAddressOf()),
        "finding a decoder");
    win32::ComPtr<IWICBitmapFrameDecode> frame;
    check(decoder->GetFrame(0, frame.GetAddressOf()), "reading the first frame");

    win32::ComPtr<IWICFormatConverter> converter;
    check(factory->CreateFormatConverter(converter.GetAddressOf()), "creating a converter");
    check(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                WICBitmapPaletteTypeCustom),
          "converting to 32-bit premultiplied BGRA");
    IWICBitmapSource* source = converter.Get();

    UINT w = 0, h = 0;
    check(source->GetSize(&w, &h), "reading the size");
    win32::ComPtr<IWICBitmapScaler> scaler;
    if (width > 0 && height > 0 && (static_cast<int>(w) != width || static_cast<int>(h) != height)) {
        check(factory->CreateBitmapScaler(scaler.GetAddressOf()), "creating a scaler");
        check(scaler->Initialize(source, static_cast<UINT>(width), static_cast<UINT>(height),
                                 WICBitmapInterpolationModeFant),
              "scaling");
        source = scaler.Get();
        w = static_cast<UINT>(width);
        h = static_cast<UINT>(height);
    }

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(w);
    info.bmiHeader.biHeight = -static_cast<LONG>(h);  // top-down, as WIC gives rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win32::GdiBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) throw std::runtime_error("picture: no memory for the bitmap");
    Picture picture(std::move(bitmap), static_cast<int>(w), static_cast<int>(h));
    const UINT stride = w * 4;
    check(source->CopyPixels(nullptr, stride, stride * h, static_cast<BYTE*>(bits)), "copying the pixels");
    return picture;
}

std::span<const std::byte> resourceBytes(std::string_view name)
{
    if (name.empty()) return {};
    const std::wstring wide(name.begin(), name.end());  // resource names are ASCII
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, wide.c_str(), RT_RCDATA);
    if (!found) return {};
    HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const std::byte*>(data), ::SizeofResource(module, found)};
}

}  // namespace bellwick
