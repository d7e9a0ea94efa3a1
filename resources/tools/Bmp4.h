#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace arbolith {

// A picture of the 16 colours of the standard palette, one palette index per pixel, rows from
// the top.
struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

inline constexpr std::uint8_t kPaletteBlack = 0;
inline constexpr std::uint8_t kPaletteWhite = 15;

// The picture as an uncompressed 4-bit device-independent bitmap file with the standard
// 16-colour palette.
std::vector<std::uint8_t> EncodeBmp4(const IndexedPicture& picture);

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace arbolith
