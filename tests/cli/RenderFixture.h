#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include "render/PixelImage.h"

namespace arbolith::testing {

// A test of arbolith-render run as the real binary, in a folder of its own.
class RenderTest : public ::testing::Test {
protected:
    std::string Dir() const { return dir_.path().toStdString(); }
    std::string PathOf(const std::string& name) const { return Dir() + "/" + name; }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Dir())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    QTemporaryDir dir_;
};

// A decoded picture's pixels, to compare with the rasterizer's.
inline PixelImage PixelsOf(const QImage& image) {
    PixelImage pixels(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            pixels.Row(y)[x] = image.pixel(x, y);
        }
    }
    return pixels;
}

inline int LineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace arbolith::testing
