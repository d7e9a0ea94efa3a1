#include "ui/qt/PixelImages.h"

#include <algorithm>
#include <cstring>

namespace arbolith {

QImage ToQImage(const PixelImage& picture) {
    QImage image(picture.Width(), picture.Height(), QImage::Format_RGB32);
    CopyInto(image, picture);
    return image;
}

void CopyInto(QImage& image, const PixelImage& picture) {
    const auto rowBytes = static_cast<std::size_t>(picture.Width()) * sizeof(Pixel);
    for (int y = 0; y < picture.Height(); ++y) {
        std::memcpy(image.scanLine(y), picture.Row(y), rowBytes);
    }
}

PixelImage FromQImage(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    PixelImage picture(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        std::transform(row, row + rgb.width(), picture.Row(y),
                       [](QRgb pixel) { return static_cast<Pixel>(pixel | 0xFF000000u); });
    }
    return picture;
}

} // namespace arbolith
