#include "Bmp4.h"

#include <array>
#include <fstream>

namespace arbolith {

namespace {

// The 16 colours of the standard palette, as red, green, blue.
constexpr std::array<std::array<std::uint8_t, 3>, 16> kStandardPalette{{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {192, 192, 192},
    {128, 128, 128},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFFu);
    Put16(out, value >> 16);
}

} // namespace

std::vector<std::uint8_t> EncodeBmp4(const IndexedPicture& picture) {
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(picture.width) * 4 + 31) / 32 * 4;
    const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(picture.height);
    const std::uint32_t headerBytes = 14 + 40 + 16 * 4;

    std::vector<std::uint8_t> out;
    out.reserve(headerBytes + imageBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, headerBytes + imageBytes);
    Put32(out, 0);
    Put32(out, headerBytes);

    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(picture.width));
    Put32(out, static_cast<std::uint32_t>(picture.height)); // positive: rows stored bottom up
    Put16(out, 1);                                          // planes
    Put16(out, 4);                                          // bits per pixel
    Put32(out, 0);                                          // uncompressed
    Put32(out, imageBytes);
    Put32(out, 3780); // 96 dots per inch, in dots per metre
    Put32(out, 3780);
    Put32(out, 16); // colours used
    Put32(out, 0);  // all of them important

    for (const auto& colour : kStandardPalette) {
        out.push_back(colour[2]);
        out.push_back(colour[1]);
        out.push_back(colour[0]);
        out.push_back(0);
    }

    for (int y = picture.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(rowBytes, 0);
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t index =
                picture.pixels[static_cast<std::size_t>(y) * picture.width + x] & 0x0Fu;
            row[x / 2] |= (x % 2 == 0) ? static_cast<std::uint8_t>(index << 4) : index;
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

} // namespace arbolith
