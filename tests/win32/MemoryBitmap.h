#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/win32/HandleOwners.h"

namespace arbolith::testing {

// A 32-bit bitmap in memory, top row first, selected into a device context of its own for the
// bitmap's life. A pixel is 0x00RRGGBB.
class MemoryBitmap {
public:
    MemoryBitmap(int width, int height, HDC compatibleWith = nullptr)
        : width_(width), height_(height), info_(InfoOf(width, height)), context_(compatibleWith),
          bitmap_(CreateDIBSection(context_.Get(), &info_, DIB_RGB_COLORS, &bits_, nullptr, 0)),
          selection_(context_.Get(), bitmap_.Get()) {}

    bool Ok() const { return context_.Get() != nullptr && bits_ != nullptr; }
    HDC Context() const { return context_.Get(); }
    std::uint32_t* Bits() const { return static_cast<std::uint32_t*>(bits_); }
    std::size_t Count() const { return static_cast<std::size_t>(width_) * height_; }
    // The pixels once all drawing has reached them.
    std::vector<std::uint32_t> Pixels() const {
        GdiFlush();
        std::vector<std::uint32_t> pixels(Bits(), Bits() + Count());
        for (auto& pixel : pixels) {
            pixel &= 0xFFFFFFu;
        }
        return pixels;
    }

private:
    static BITMAPINFO InfoOf(int width, int height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        return info;
    }

    int width_;
    int height_;
    BITMAPINFO info_;
    void* bits_ = nullptr;
    MemoryDC context_;
    GdiObject<HBITMAP> bitmap_;
    SelectedObject selection_;
};

} // namespace arbolith::testing
