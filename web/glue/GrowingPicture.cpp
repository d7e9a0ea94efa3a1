#include "web/glue/GrowingPicture.h"

#include <emscripten/emscripten.h>

// Defined by the page's side (web/glue/Callbacks.js).
extern "C" void web_picture(const std::uint8_t* rgba, int width, int height, double drawn);

namespace arbolith::web {

GrowingPicture::GrowingPicture(const PixelImage& image)
    : image_(image), shown_(emscripten_get_now()) {}

bool GrowingPicture::KeepGoing(std::uint64_t polygonsDrawn) {
    const double now = emscripten_get_now();
    if (now - shown_ >= kIntervalMilliseconds) {
        shown_ = now;
        Show(polygonsDrawn);
    }
    return true;
}

void GrowingPicture::Show(std::uint64_t drawn) {
    rgba_.resize(static_cast<std::size_t>(image_.Width()) *
                 static_cast<std::size_t>(image_.Height()) * 4);
    std::size_t at = 0;
    for (int y = 0; y < image_.Height(); ++y) {
        const Pixel* row = image_.Row(y);
        for (int x = 0; x < image_.Width(); ++x) {
            const Rgb colour = RgbOf(row[x]);
            rgba_[at++] = colour.red;
            rgba_[at++] = colour.green;
            rgba_[at++] = colour.blue;
            rgba_[at++] = 255;
        }
    }
    web_picture(rgba_.data(), image_.Width(), image_.Height(), static_cast<double>(drawn));
}

} // namespace arbolith::web
