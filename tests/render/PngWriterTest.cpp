#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include <QImage>

#include "render/PngWriter.h"
#include "render/RasterPicture.h"

namespace arbolith {
namespace {

std::string Encode(const PixelImage& image) {
    std::string bytes;
    EXPECT_TRUE(WritePng(image, [&bytes](const void* data, std::size_t size) {
        bytes.append(static_cast<const char*>(data), size);
        return true;
    }));
    return bytes;
}

PixelImage Decode(const std::string& bytes) {
    const QImage decoded = QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()),
                                            static_cast<int>(bytes.size()), "PNG");
    PixelImage image(decoded.width(), decoded.height());
    for (int y = 0; y < decoded.height(); ++y) {
        for (int x = 0; x < decoded.width(); ++x) {
            image.Row(y)[x] = decoded.pixel(x, y);
        }
    }
    return image;
}

// The colour type in the header chunk: 3 for a palette, 2 for RGB.
int ColourType(const std::string& png) {
    return static_cast<unsigned char>(png.at(25));
}

TEST(PngWriterTest, WritesATreeAsAPaletteImageOfTheSamePixels) {
    const TreeOrder tree{{25, 40, 40, 0.78, 3, {230, 650, -60}, {-40, -150, 0}, 7}, 1000000006};
    const PixelImage picture = *RenderTreeImage(tree, 560, 670);
    const std::string png = Encode(picture);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(ColourType(png), 3);
    EXPECT_EQ(static_cast<unsigned char>(png.at(24)), 2) << "three colours, two bits a pixel";
    EXPECT_EQ(Decode(png), picture);
}

// 2, 4, 16 and 256 colours take 1, 2, 4 and 8 bits a pixel. An odd width leaves a row's last
// bits unused; the rows never drawn on, and the start of a row drawn on only from its middle,
// have the ground colour, here not the palette's first.
TEST(PngWriterTest, PacksEachPaletteSizeIntoTheSamePixels) {
    const std::pair<int, int> cases[] = {{2, 1}, {3, 2}, {4, 2}, {16, 4}, {17, 8}, {256, 8}};
    for (const auto& [colours, bits] : cases) {
        PixelImage picture(131, 6, PixelOf({9, 9, 9}));
        int drawn = 0;
        for (const int y : {0, 2, 3}) {
            for (int x = y == 3 ? 70 : 0; x < picture.Width(); ++x, ++drawn) {
                const auto c = static_cast<std::uint8_t>(drawn % (colours - 1));
                picture.Row(y)[x] = PixelOf({c, static_cast<std::uint8_t>(255 - c), 7});
            }
        }
        const std::string png = Encode(picture);
        EXPECT_EQ(ColourType(png), 3) << colours;
        EXPECT_EQ(static_cast<unsigned char>(png.at(24)), bits) << colours;
        EXPECT_EQ(Decode(png), picture) << colours;
    }
}

TEST(PngWriterTest, WritesRgbWhenThereAreMoreThan256Colours) {
    PixelImage picture(300, 2);
    for (int x = 0; x < 300; ++x) {
        picture.Row(0)[x] = PixelOf({static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(x / 2),
                                     static_cast<std::uint8_t>(255 - x % 256)});
    }
    const std::string png = Encode(picture);
    EXPECT_EQ(ColourType(png), 2);
    EXPECT_EQ(Decode(png), picture);
}

TEST(PngWriterTest, StopsWhenTheSinkGivesUp) {
    const PixelImage picture(560, 670);
    for (std::size_t accepted : {0u, 8u, 40u, 100u}) {
        std::size_t taken = 0;
        const bool written = WritePng(picture, [&](const void*, std::size_t size) {
            if (taken + size > accepted) {
                return false;
            }
            taken += size;
            return true;
        });
        EXPECT_FALSE(written) << accepted;
    }
}

} // namespace
} // namespace arbolith
