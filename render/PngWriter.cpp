#include "render/PngWriter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include <libdeflate.h>

#include "render/Deflate.h"

namespace arbolith {

namespace {

// On a tree's picture, level 5 is as small as the default level 6 and a tenth faster; the levels
// below it are hardly faster and a few percent larger, those above several times slower.
constexpr int kCompressionLevel = 5;
// A chunk's length is counted in 31 bits.
constexpr std::size_t kLongestChunk = std::size_t{1} << 30;

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
    std::uint32_t crc = libdeflate_crc32(0, head.data() + 4, 4);
    if (size > 0) { // a null buffer would start the checksum afresh
        crc = libdeflate_crc32(crc, data, size);
    }
    std::vector<std::uint8_t> tail;
    PutBigEndian(tail, static_cast<std::uint32_t>(crc));
    return sink(head.data(), head.size()) && (size == 0 || sink(data, size)) &&
           sink(tail.data(), tail.size());
}

// A tree covers little of a row: the pixels are looked at in blocks, and a block all of the
// ground colour is told at once.
constexpr int kBlock = 64;

// Hands each block of row y to visit(left, right, ground) in order.
template <typename Visit> void ForEachBlock(const PixelImage& image, int y, Visit visit) {
    for (int left = 0; left < image.Width(); left += kBlock) {
        const int right = std::min(left + kBlock, image.Width());
        visit(left, right, image.IsGround(y, left, right));
    }
}

// The picture's colours in order of appearance, or nothing if there are more than 256.
std::optional<std::vector<Pixel>> PaletteOf(const PixelImage& image) {
    std::vector<Pixel> palette;
    Pixel last = 0;
    bool any = false;
    const auto add = [&](Pixel pixel) {
        if (any && pixel == last) {
            return;
        }
        any = true;
        last = pixel;
        if (std::find(palette.begin(), palette.end(), pixel) == palette.end()) {
            palette.push_back(pixel);
        }
    };
    for (int y = 0; y < image.Height() && palette.size() <= 256; ++y) {
        const Pixel* row = image.Row(y);
        ForEachBlock(image, y, [&](int left, int right, bool ground) {
            for (int x = left; x < (ground ? left + 1 : right); ++x) {
                add(row[x]);
            }
        });
    }
    if (palette.size() > 256) {
        return std::nullopt;
    }
    return palette;
}

// The fewest bits a sample, of 1, 2, 4 and 8, that tell the palette's colours apart. A tree has
// three: two bits, a quarter of the bytes to compress.
int IndexBits(std::size_t colours) {
    return colours <= 2 ? 1 : colours <= 4 ? 2 : colours <= 16 ? 4 : 8;
}

// The image data before compression: each row as filter type 0 (none), then its samples: the
// palette's indices packed `bits` to a sample, the leftmost pixel in the highest bits of a
// byte, or red, green and blue.
std::vector<std::uint8_t> FilteredRows(const PixelImage& image,
                                       const std::optional<std::vector<Pixel>>& palette, int bits) {
    const auto width = static_cast<std::size_t>(image.Width());
    const auto sampleBits = static_cast<std::size_t>(bits);
    const std::size_t rowBytes = 1 + (palette ? (width * sampleBits + 7) / 8 : 3 * width);
    std::vector<std::uint8_t> rows(rowBytes * static_cast<std::size_t>(image.Height()));
    Pixel lastColour = palette && !palette->empty() ? palette->front() : 0;
    unsigned lastIndex = 0;
    const auto indexOf = [&](Pixel colour) {
        if (colour != lastColour) {
            lastColour = colour;
            lastIndex = static_cast<unsigned>(std::find(palette->begin(), palette->end(), colour) -
                                              palette->begin());
        }
        return lastIndex;
    };
    // The ground's index in every sample of a byte.
    std::uint8_t groundByte = 0;
    for (int shift = 0; palette && shift < 8; shift += bits) {
        groundByte = static_cast<std::uint8_t>(groundByte | indexOf(image.Ground()) << shift);
    }
    std::uint8_t* samples = rows.data() + 1;
    for (int y = 0; y < image.Height(); ++y, samples += rowBytes) {
        const Pixel* pixels = image.Row(y);
        if (!palette) {
            for (std::size_t x = 0; x < width; ++x) {
                const Rgb rgb = RgbOf(pixels[x]);
                samples[3 * x] = rgb.red;
                samples[3 * x + 1] = rgb.green;
                samples[3 * x + 2] = rgb.blue;
            }
            continue;
        }
        // A block starts on a whole byte, and its last byte is its own.
        ForEachBlock(image, y, [&](int left, int right, bool ground) {
            const auto from = static_cast<std::size_t>(left);
            const auto to = static_cast<std::size_t>(right);
            if (ground) {
                std::fill(samples + from * sampleBits / 8, samples + (to * sampleBits + 7) / 8,
                          groundByte);
                return;
            }
            for (std::size_t x = from, bit = from * sampleBits; x < to; ++x, bit += sampleBits) {
                samples[bit / 8] |=
                    static_cast<std::uint8_t>(indexOf(pixels[x]) << (8 - sampleBits - bit % 8));
            }
        });
    }
    return rows;
}

} // namespace

bool WritePng(const PixelImage& image, const ByteSink& sink) {
    static constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P',  'N',  'G',
                                                            0x0D, 0x0A, 0x1A, 0x0A};
    if (!sink(kSignature.data(), kSignature.size())) {
        return false;
    }
    const std::optional<std::vector<Pixel>> palette = PaletteOf(image);
    const int bits = palette ? IndexBits(palette->size()) : 8;
    std::vector<std::uint8_t> header;
    PutBigEndian(header, static_cast<std::uint32_t>(image.Width()));
    PutBigEndian(header, static_cast<std::uint32_t>(image.Height()));
    header.push_back(static_cast<std::uint8_t>(bits)); // bits per sample
    header.push_back(palette ? 3 : 2);                 // palette or RGB
    header.insert(header.end(), {0, 0, 0});            // deflate, adaptive filters, no interlace
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

    // The rows are compressed in one piece: a zlib stream cannot be joined from separate ones.
    const std::vector<std::uint8_t> rows = FilteredRows(image, palette, bits);
    std::vector<char> compressed;
    if (!ZlibCompressor(kCompressionLevel).Compress(rows.data(), rows.size(), compressed)) {
        return false;
    }
    for (std::size_t at = 0; at < compressed.size(); at += kLongestChunk) {
        const std::size_t size = std::min(kLongestChunk, compressed.size() - at);
        if (!PutChunk(sink, "IDAT", reinterpret_cast<const std::uint8_t*>(compressed.data()) + at,
                      size)) {
            return false;
        }
    }
    return PutChunk(sink, "IEND", nullptr, 0);
}

} // namespace arbolith
