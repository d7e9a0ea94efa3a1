#include "tests/win32/GdiGridPicture.h"

#include <windows.h>

#include <algorithm>

#include "tests/win32/MemoryBitmap.h"
#include "ui/win32/GdiSurface.h"

namespace arbolith::testing {

std::uint64_t GdiDigestOf(const GridCase& gridCase) {
    const MemoryBitmap bitmap(gridCase.width, gridCase.height);
    if (!bitmap.Ok()) {
        return 0;
    }
    std::fill(bitmap.Bits(), bitmap.Bits() + bitmap.Count(),
              (std::uint32_t{kGridGround.red} << 16) | (std::uint32_t{kGridGround.green} << 8) |
                  kGridGround.blue);
    {
        GdiSurface surface(bitmap.Context());
        DrawGridCase(surface, gridCase);
    }
    PictureDigest digest;
    for (const std::uint32_t pixel : bitmap.Pixels()) {
        digest.Add({static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
                    static_cast<std::uint8_t>(pixel)});
    }
    return digest.Value();
}

} // namespace arbolith::testing
