#include "render/PdfSurface.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "render/PolygonClip.h"

namespace arbolith {

namespace {

constexpr std::size_t kContentPiece = 1 << 18;
// How far beyond the page a polygon may reach before it is cut; beyond a few pixels nothing
// shows, and readers handle numbers of this size well.
constexpr double kClipMargin = 1 << 16;

} // namespace

PdfSurface::PdfSurface(const ByteSink& sink, int width, int height)
    : width_(width), height_(height), out_(sink),
      compressor_(
          [this](const std::vector<char>& compressed) { return PutContentObject(compressed); }) {
    content_.reserve(kContentPiece + 256);
    out_.Put("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    // Pixel coordinates with y growing downward; a pixel's centre half a unit in from its
    // corner, as a polygon's corners sample the pixels they name. Bevelled joins keep a thin
    // branch's sharp corners from reaching beyond its pixels.
    const std::string setup = "1 0 0 -1 0.5 " + std::to_string(height - 1) + ".5 cm\n0 J 2 j 1 w\n";
    Content(setup.data(), setup.size());
}

// Objects are numbered in the order they are written.
void PdfSurface::StartObject() {
    objectOffsets_.push_back(out_.Written());
    out_.PutNumber(static_cast<std::int64_t>(objectOffsets_.size()));
    out_.Put(" 0 obj\n");
}

// Runs on the compressor's thread, the only one writing until Finish.
bool PdfSurface::PutContentObject(const std::vector<char>& compressed) {
    StartObject();
    contentObjects_.push_back(static_cast<int>(objectOffsets_.size()));
    out_.Put("<< /Length ");
    out_.PutNumber(static_cast<std::int64_t>(compressed.size()));
    out_.Put(" /Filter /FlateDecode >>\nstream\n");
    out_.Put(compressed.data(), compressed.size());
    out_.Put("\nendstream\nendobj\n");
    return !out_.Failed();
}

void PdfSurface::Content(const char* text, std::size_t size) {
    content_.insert(content_.end(), text, text + size);
    if (content_.size() >= kContentPiece) {
        compressor_.Add(content_);
        content_.reserve(kContentPiece + 256);
    }
}

void PdfSurface::ContentNumber(double value) {
    char text[32];
    const double whole = std::nearbyint(value);
    const auto end =
        whole == value && std::fabs(value) < 1e15
            ? std::to_chars(text, text + sizeof text, static_cast<long long>(whole))
            : std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    Content(text, static_cast<std::size_t>(end.ptr - text));
}

void PdfSurface::ContentColour(Rgb colour, const char* op) {
    char text[48];
    const int length = std::snprintf(text, sizeof text, "%.5f %.5f %.5f %s\n", colour.red / 255.0,
                                     colour.green / 255.0, colour.blue / 255.0, op);
    Content(text, static_cast<std::size_t>(length));
}

void PdfSurface::UseFill(Rgb colour) {
    if (!fillKnown_ || !(fill_ == colour)) {
        ContentColour(colour, "rg");
        fill_ = colour;
        fillKnown_ = true;
    }
}

void PdfSurface::UseStroke(Rgb colour) {
    if (!strokeKnown_ || !(stroke_ == colour)) {
        ContentColour(colour, "RG");
        stroke_ = colour;
        strokeKnown_ = true;
    }
}

void PdfSurface::FillRectWhite(const SurfaceRect& rect) {
    // Only the part on the page shows; the rest is cut away.
    const double left = std::max<double>(rect.left, -1);
    const double top = std::max<double>(rect.top, -1);
    const double right = std::min<double>(rect.right, width_ + 1);
    const double bottom = std::min<double>(rect.bottom, height_ + 1);
    if (right <= left || bottom <= top) {
        return;
    }
    UseFill({255, 255, 255});
    // A pixel's square reaches half a unit either side of its centre, which a wide pen has moved.
    const double shift = lineWidth_ / 2.0;
    ContentNumber(left - shift);
    Content(" ");
    ContentNumber(top - shift);
    Content(" ");
    ContentNumber(right - left);
    Content(" ");
    ContentNumber(bottom - top);
    Content(" re f\n");
}

void PdfSurface::Polygon(const SurfacePoint* points, int count) {
    if (count < 2) {
        return;
    }
    std::int64_t left = points[0].x;
    std::int64_t right = points[0].x;
    std::int64_t top = points[0].y;
    std::int64_t bottom = points[0].y;
    for (int i = 1; i < count; ++i) {
        left = std::min<std::int64_t>(left, points[i].x);
        right = std::max<std::int64_t>(right, points[i].x);
        top = std::min<std::int64_t>(top, points[i].y);
        bottom = std::max<std::int64_t>(bottom, points[i].y);
    }
    const int width = std::max(SelectedPen().width, 1);
    if (right + width < 0 || left > width_ || bottom + width < 0 || top > height_) {
        return; // nothing of it would show
    }
    UseFill(SelectedBrush().colour);
    UseStroke(SelectedPen().colour);
    if (width != lineWidth_) {
        // A pen w pixels wide strokes the squares of w x w pixels whose top left pixel the
        // one-pixel outline sets, as the picture's pixels do: its line runs w/2 in from their
        // corner rather than half a pixel.
        const double shift = (width - lineWidth_) / 2.0;
        Content("1 0 0 1 ");
        ContentNumber(shift);
        Content(" ");
        ContentNumber(shift);
        Content(" cm ");
        ContentNumber(width);
        Content(" w\n");
        lineWidth_ = width;
    }
    const char* paint = FillMode() == PolyFillMode::Winding ? " b\n" : " b*\n";
    const bool far = left < -kClipMargin || top < -kClipMargin || right > width_ + kClipMargin ||
                     bottom > height_ + kClipMargin;
    if (far) {
        std::vector<PointF> corners;
        for (int i = 0; i < count; ++i) {
            corners.push_back({static_cast<double>(points[i].x), static_cast<double>(points[i].y)});
        }
        corners = ClipPolygon(
            corners, {-kClipMargin, -kClipMargin, width_ + kClipMargin, height_ + kClipMargin});
        if (corners.empty()) {
            return;
        }
        for (std::size_t i = 0; i < corners.size(); ++i) {
            ContentNumber(corners[i].x);
            Content(" ");
            ContentNumber(corners[i].y);
            Content(i == 0 ? " m " : " l ");
        }
        Content(paint, std::string::traits_type::length(paint));
        return;
    }
    // Each corner takes at most two numbers of 11 characters and four more.
    const std::size_t start = content_.size();
    content_.resize(start + static_cast<std::size_t>(count) * 26);
    char* end = content_.data() + start;
    char* const limit = content_.data() + content_.size();
    for (int i = 0; i < count; ++i) {
        end = std::to_chars(end, limit, points[i].x).ptr;
        *end++ = ' ';
        end = std::to_chars(end, limit, points[i].y).ptr;
        const char op[] = {' ', i == 0 ? 'm' : 'l', ' '};
        end = std::copy(op, op + 3, end);
    }
    content_.resize(static_cast<std::size_t>(end - content_.data()));
    Content(paint, std::string::traits_type::length(paint));
}

bool PdfSurface::Finish() {
    if (!content_.empty()) {
        compressor_.Add(content_);
    }
    const bool compressed = compressor_.Finish();

    // The page and the objects above it name the content objects, so they come last.
    std::string contents = "[";
    for (const int object : contentObjects_) {
        contents += std::to_string(object) + " 0 R ";
    }
    contents += "]";
    const int page = static_cast<int>(objectOffsets_.size()) + 1;
    const std::string w = std::to_string(width_);
    const std::string h = std::to_string(height_);
    const std::string objects[] = {
        "<< /Type /Page /Parent " + std::to_string(page + 1) + " 0 R /MediaBox [0 0 " + w + " " +
            h + "] /Resources << >> /Contents " + contents + " >>",
        "<< /Type /Pages /Kids [" + std::to_string(page) + " 0 R] /Count 1 >>",
        "<< /Type /Catalog /Pages " + std::to_string(page + 1) + " 0 R >>",
        "<< /Producer (Arbolith) /Title (Arbolith tree) >>",
    };
    for (const std::string& body : objects) {
        StartObject();
        out_.Put(body.data(), body.size());
        out_.Put("\nendobj\n");
    }
    const std::int64_t count = static_cast<std::int64_t>(objectOffsets_.size()) + 1;

    const std::uint64_t table = out_.Written();
    out_.Put("xref\n0 ");
    out_.PutNumber(count);
    out_.Put("\n0000000000 65535 f \n");
    for (const std::uint64_t offset : objectOffsets_) {
        char entry[24];
        std::snprintf(entry, sizeof entry, "%010llu 00000 n \n",
                      static_cast<unsigned long long>(offset));
        out_.Put(entry, 20);
    }
    out_.Put("trailer\n<< /Size ");
    out_.PutNumber(count);
    out_.Put(" /Root ");
    out_.PutNumber(page + 2);
    out_.Put(" 0 R /Info ");
    out_.PutNumber(page + 3);
    out_.Put(" 0 R >>\nstartxref\n");
    out_.PutNumber(static_cast<std::int64_t>(table));
    out_.Put("\n%%EOF\n");
    return out_.Flush() && compressed;
}

} // namespace arbolith
