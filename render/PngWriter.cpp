#include "render/PngWriter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include <zlib.h>

#include "render/Deflate.h"

namespace arbolith {

namespace {

// Run-length matching only: on a picture of few colours it is as fast as deflate's fastest
// level and compresses better (a tree: about a third smaller than that level, half the time
// of the default one).
constexpr int kCompressionLevel = 6;
constexpr int kStrategy = Z_RLE;

void PutBigEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

// Wraps the data into a PNG chunk of the given type and hands it on.
bool PutChunk(const ByteSink& sink, const char (&type)[5], const std::uint8_t* data,
              std::size_t size) {
    std::vector<std::uint8_t> head;
    PutBigEndian(head, static_cast<std::uint32_t>(size));
    head.insert(head.end(), type, type + 4);
    uLong crc = crc32(0, head.data() + 4, 4);
    if (size > 0) {
        crc = crc32(crc, data, static_cast<uInt>(size));
    }
    std::vector<std::uint8_t> tail;
    PutBigEndian(tail, static_cast<std::uint32_t>(crc));
    return sink(head.data(), head.size()) && (size == 0 || sink(data, size)) &&
           sink(tail.data(), tail.size());
}

// The picture's colours in order of appearance, or nothing if there are more than 256.
std::optional<std::vector<Pixel>> PaletteOf(const PixelImage& image) {
    std::vector<Pixel> palette;
    Pixel last = 0;
    bool any = false;
    const auto add = [&](Pixel pixel) {
        if (any && pixel == last) {
            return true;
        }
        any = true;
        last = pixel;
        if (std::find(palette.begin(), palette.end(), pixel) != palette.end()) {
            return true;
        }
        palette.push_back(pixel);
        return palette.size() <= 256;
    };
    for (int y = 0; y < image.Height(); ++y) {
        // A blank row is the ground colour throughout.
        const int width = image.IsBlank(y) ? 1 : image.Width();
        const Pixel* row = image.Row(y);
        for (int x = 0; x < width; ++x) {
            if (!add(row[x])) {
                return std::nullopt;
            }
        }
    }
    return palette;
}

} // namespace

bool WritePng(const PixelImage& image, const ByteSink& sink) {
    static constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P',  'N',  'G',
                                                            0x0D, 0x0A, 0x1A, 0x0A};
    if (!sink(kSignature.data(), kSignature.size())) {
        return false;
    }
    const std::optional<std::vector<Pixel>> palette = PaletteOf(image);
    std::vector<std::uint8_t> header;
    PutBigEndian(header, static_cast<std::uint32_t>(image.Width()));
    PutBigEndian(header, static_cast<std::uint32_t>(image.Height()));
    header.push_back(8);                    // bits per sample
    header.push_back(palette ? 3 : 2);      // palette or RGB
    header.insert(header.end(), {0, 0, 0}); // deflate, adaptive filters, no interlace
    if (!PutChunk(sink, "IHDR", header.data(), header.size())) {
        return false;
    }
    if (palette) {
        std::vector<std::uint8_t> entries;
        for (const Pixel colour : *palette) {
            const Rgb rgb = RgbOf(colour);
            entries.insert(entries.end(), {rgb.red, rgb.green, rgb.blue});
        }
        if (!PutChunk(sink, "PLTE", entries.data(), entries.size())) {
            return false;
        }
    }

    // Each row: filter type 0 (none), then its samples.
    const std::size_t width = static_cast<std::size_t>(image.Width());
    std::vector<std::uint8_t> row(1 + width * (palette ? 1 : 3));
    DeflateStream data(kCompressionLevel, kStrategy, [&sink](const void* bytes, std::size_t size) {
        return PutChunk(sink, "IDAT", static_cast<const std::uint8_t*>(bytes), size);
    });
    Pixel lastColour = palette && !palette->empty() ? palette->front() : 0;
    std::uint8_t lastIndex = 0;
    for (int y = 0; y < image.Height(); ++y) {
        const Pixel* pixels = image.Row(y);
        for (std::size_t x = 0; x < width; ++x) {
            if (palette) {
                if (pixels[x] != lastColour) {
                    lastColour = pixels[x];
                    lastIndex = 0;
                    while ((*palette)[lastIndex] != lastColour) {
                        ++lastIndex;
                    }
                }
                row[1 + x] = lastIndex;
            } else {
                const Rgb rgb = RgbOf(pixels[x]);
                row[1 + 3 * x] = rgb.red;
                row[2 + 3 * x] = rgb.green;
                row[3 + 3 * x] = rgb.blue;
            }
        }
        if (!data.Add(row.data(), row.size())) {
            return false;
        }
    }
    return data.Finish() && PutChunk(sink, "IEND", nullptr, 0);
}

} // namespace arbolith
