#include "tests/win32/GdiGridPicture.h"

#include <windows.h>

#include <algorithm>

#include "ui/win32/GdiSurface.h"

namespace arbolith::testing {

std::uint64_t GdiDigestOf(const GridCase& gridCase) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = gridCase.width;
    info.bmiHeader.biHeight = -gridCase.height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC context = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(context, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (context == nullptr || bitmap == nullptr) {
        return 0;
    }
    HGDIOBJ previous = SelectObject(context, bitmap);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    const std::size_t count = static_cast<std::size_t>(gridCase.width) * gridCase.height;
    std::fill(pixels, pixels + count,
              (std::uint32_t{kGridGround.red} << 16) | (std::uint32_t{kGridGround.green} << 8) |
                  kGridGround.blue);
    {
        GdiSurface surface(context);
        DrawGridCase(surface, gridCase);
    }
    GdiFlush();
    PictureDigest digest;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t pixel = pixels[i];
        digest.Add({static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
                    static_cast<std::uint8_t>(pixel)});
    }
    SelectObject(context, previous);
    DeleteObject(bitmap);
    DeleteDC(context);
    return digest.Value();
}

} // namespace arbolith::testing
