#include "render/SvgSurface.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace arbolith {

namespace {

std::string Colour(Rgb colour) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text = "#";
    for (const std::uint8_t part : {colour.red, colour.green, colour.blue}) {
        text += kHex[part >> 4];
        text += kHex[part & 0xF];
    }
    return text;
}

std::string Head(int width, int height) {
    const std::string w = std::to_string(width);
    const std::string h = std::to_string(height);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
           w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + ' ' + h +
           "\" shape-rendering=\"crispEdges\">\n";
}

} // namespace

SvgSurface::SvgSurface(const ByteSink& sink, int width, int height) : out_(sink) {
    const std::string head = Head(width, height);
    out_.Put(head.data(), head.size());
}

void SvgSurface::FillRectWhite(const SurfaceRect& rect) {
    const std::int64_t width = std::int64_t{rect.right} - rect.left;
    const std::int64_t height = std::int64_t{rect.bottom} - rect.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    CloseGroup();
    out_.Put("<rect x=\"");
    out_.PutNumber(rect.left);
    out_.Put("\" y=\"");
    out_.PutNumber(rect.top);
    out_.Put("\" width=\"");
    out_.PutNumber(width);
    out_.Put("\" height=\"");
    out_.PutNumber(height);
    out_.Put("\" fill=\"#ffffff\" stroke=\"none\"/>\n");
}

void SvgSurface::Polygon(const SurfacePoint* points, int count) {
    if (count <= 0) {
        return;
    }
    if (styleChanged_) {
        const SurfaceObjects::Pen& pen = SelectedPen();
        style_ = "fill=\"" + Colour(SelectedBrush().colour) + "\" fill-rule=\"" +
                 (FillMode() == PolyFillMode::Winding ? "nonzero" : "evenodd") + "\" stroke=\"" +
                 Colour(pen.colour) + "\" stroke-width=\"" +
                 std::to_string(std::max(pen.width, 1)) + "\" stroke-linejoin=\"miter\"";
        styleChanged_ = false;
        inStyledGroup_ = style_ == openStyle_;
    }
    if (!inStyledGroup_) {
        CloseGroup();
        out_.Put("<g ");
        out_.Put(style_.data(), style_.size());
        out_.Put(">\n");
        openStyle_ = style_;
        inStyledGroup_ = true;
    }
    out_.Put("<polygon points=\"");
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            out_.Put(' ');
        }
        out_.PutNumber(points[i].x);
        out_.Put(',');
        out_.PutNumber(points[i].y);
    }
    out_.Put("\"/>\n");
}

void SvgSurface::CloseGroup() {
    if (!openStyle_.empty()) {
        out_.Put("</g>\n");
        openStyle_.clear();
        inStyledGroup_ = false;
    }
}

bool SvgSurface::Finish() {
    CloseGroup();
    out_.Put("</svg>\n");
    return out_.Flush();
}

std::uint64_t SvgMostBytes(std::uint64_t polygons, int width, int height) {
    // The longest number 32 bits write, and what is written round it.
    const std::uint64_t number = std::to_string(std::numeric_limits<std::int32_t>::min()).size();
    const std::uint64_t ground = std::string("<rect x=\"\" y=\"\" width=\"\" height=\"\" "
                                             "fill=\"#ffffff\" stroke=\"none\"/>\n")
                                     .size() +
                                 4 * 2 * number;
    const std::uint64_t style = std::string("<g fill=\"#000000\" fill-rule=\"evenodd\" "
                                            "stroke=\"#000000\" stroke-width=\"\" "
                                            "stroke-linejoin=\"miter\">\n</g>\n")
                                    .size() +
                                number;
    const std::uint64_t polygon =
        std::string("<polygon points=\"\"/>\n").size() + 4 * (2 * number + 1) + 3;
    return Head(width, height).size() + ground + style + polygons * polygon +
           std::string("</svg>\n").size();
}

} // namespace arbolith
