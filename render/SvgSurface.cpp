#include "render/SvgSurface.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace arbolith {

namespace {

// Writing in pieces keeps memory flat for trees of millions of branches.
constexpr qsizetype kFlushThreshold = 1 << 16;

QByteArray Colour(Rgb colour) {
    char text[8];
    static constexpr char kHex[] = "0123456789abcdef";
    text[0] = '#';
    const std::uint8_t parts[3] = {colour.red, colour.green, colour.blue};
    for (int i = 0; i < 3; ++i) {
        text[1 + 2 * i] = kHex[parts[i] >> 4];
        text[2 + 2 * i] = kHex[parts[i] & 0xF];
    }
    return QByteArray(text, 7);
}

} // namespace

SvgSurface::SvgSurface(QIODevice& device, QSize canvas) : device_(device) {
    const QByteArray width = QByteArray::number(canvas.width());
    const QByteArray height = QByteArray::number(canvas.height());
    buffer_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
               width + "\" height=\"" + height + "\" viewBox=\"0 0 " + width + ' ' + height +
               "\" shape-rendering=\"crispEdges\">\n";
}

void SvgSurface::FillRectWhite(const SurfaceRect& rect) {
    const std::int64_t width = std::int64_t{rect.right} - rect.left;
    const std::int64_t height = std::int64_t{rect.bottom} - rect.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    CloseGroup();
    buffer_ += "<rect x=\"" + QByteArray::number(rect.left) + "\" y=\"" +
               QByteArray::number(rect.top) + "\" width=\"" + QByteArray::number(width) +
               "\" height=\"" + QByteArray::number(height) +
               "\" fill=\"#ffffff\" stroke=\"none\"/>\n";
    Flush();
}

SurfaceObject SvgSurface::CreatePen(PenStyle style, int width, Rgb colour) {
    return objects_.CreatePen(style, width, colour);
}

SurfaceObject SvgSurface::CreateSolidBrush(Rgb colour) {
    return objects_.CreateBrush(colour);
}

void SvgSurface::SetPolyFillMode(PolyFillMode mode) {
    fillMode_ = mode;
    styleChanged_ = true;
}

SurfaceObject SvgSurface::SelectObject(SurfaceObject object) {
    styleChanged_ = true;
    return objects_.Select(object);
}

bool SvgSurface::DeleteObject(SurfaceObject object) {
    return objects_.Delete(object);
}

void SvgSurface::Polygon(const SurfacePoint* points, int count) {
    if (count <= 0) {
        return;
    }
    const QByteArray style = CurrentStyle();
    if (style != openStyle_) {
        CloseGroup();
        buffer_ += "<g " + style + ">\n";
        openStyle_ = style;
    }
    buffer_ += "<polygon points=\"";
    char number[16];
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            buffer_ += ' ';
        }
        buffer_.append(number,
                       std::to_chars(number, number + sizeof number, points[i].x).ptr - number);
        buffer_ += ',';
        buffer_.append(number,
                       std::to_chars(number, number + sizeof number, points[i].y).ptr - number);
    }
    buffer_ += "\"/>\n";
    Flush();
}

QByteArray SvgSurface::CurrentStyle() {
    if (!styleChanged_) {
        return style_;
    }
    const SurfaceObjects::Pen& pen = objects_.SelectedPen();
    style_ = "fill=\"" + Colour(objects_.SelectedBrush().colour) + "\" fill-rule=\"" +
             (fillMode_ == PolyFillMode::Winding ? "nonzero" : "evenodd") + "\" stroke=\"" +
             Colour(pen.colour) + "\" stroke-width=\"" +
             QByteArray::number(std::max(pen.width, 1)) + "\" stroke-linejoin=\"miter\"";
    styleChanged_ = false;
    return style_;
}

void SvgSurface::CloseGroup() {
    if (!openStyle_.isEmpty()) {
        buffer_ += "</g>\n";
        openStyle_.clear();
    }
}

void SvgSurface::Flush() {
    if (buffer_.size() < kFlushThreshold) {
        return;
    }
    if (!failed_ && device_.write(buffer_) != buffer_.size()) {
        failed_ = true;
    }
    buffer_.clear();
}

bool SvgSurface::Finish() {
    CloseGroup();
    buffer_ += "</svg>\n";
    if (!failed_ && device_.write(buffer_) != buffer_.size()) {
        failed_ = true;
    }
    buffer_.clear();
    return !failed_;
}

} // namespace arbolith
