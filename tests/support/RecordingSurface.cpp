#include "tests/support/RecordingSurface.h"

namespace arbolith {

void RecordingSurface::Record(const Call& call) {
    if (keepCalls_) {
        calls_.push_back(call);
    }
}

void RecordingSurface::FillRectWhite(const SurfaceRect& rect) {
    Call call{Op::FillRectWhite};
    call.rect = rect;
    Record(call);
}

SurfaceObject RecordingSurface::CreatePen(PenStyle style, int width, Rgb colour) {
    const SurfaceObject pen = nextObject_++;
    live_[pen] = Kind::Pen;
    Call call{Op::CreatePen};
    call.penStyle = style;
    call.penWidth = width;
    call.colour = colour;
    call.object = pen;
    Record(call);
    return pen;
}

SurfaceObject RecordingSurface::CreateSolidBrush(Rgb colour) {
    const SurfaceObject brush = nextObject_++;
    live_[brush] = Kind::Brush;
    Call call{Op::CreateSolidBrush};
    call.colour = colour;
    call.object = brush;
    Record(call);
    return brush;
}

void RecordingSurface::SetPolyFillMode(PolyFillMode mode) {
    fillMode_ = mode;
    Call call{Op::SetPolyFillMode};
    call.fillMode = mode;
    Record(call);
}

SurfaceObject RecordingSurface::SelectObject(SurfaceObject object) {
    Call call{Op::SelectObject};
    call.object = object;
    SurfaceObject replaced = 0;
    if (object == kStockPen) {
        replaced = selectedPen_;
        selectedPen_ = object;
    } else if (object == kStockBrush) {
        replaced = selectedBrush_;
        selectedBrush_ = object;
    } else if (const auto found = live_.find(object); found != live_.end()) {
        SurfaceObject& slot = found->second == Kind::Pen ? selectedPen_ : selectedBrush_;
        replaced = slot;
        slot = object;
    } else {
        problems_.push_back("selected object " + std::to_string(object) + ", which does not exist");
    }
    call.replaced = replaced;
    Record(call);
    return replaced;
}

void RecordingSurface::Polygon(const SurfacePoint* points, int count) {
    Call call{Op::Polygon};
    call.polygon = polygonStarts_.size();
    polygonStarts_.push_back(points_.size());
    points_.insert(points_.end(), points, points + (count > 0 ? count : 0));
    Record(call);
}

bool RecordingSurface::DeleteObject(SurfaceObject object) {
    Call call{Op::DeleteObject};
    call.object = object;
    Record(call);
    if (object == selectedPen_ || object == selectedBrush_) {
        problems_.push_back("deleted object " + std::to_string(object) + " while selected");
        return false;
    }
    if (live_.erase(object) == 0) {
        problems_.push_back("deleted object " + std::to_string(object) + ", which does not exist");
        return false;
    }
    return true;
}

std::span<const SurfacePoint> RecordingSurface::PolygonAt(std::size_t index) const {
    const std::size_t start = polygonStarts_.at(index);
    const std::size_t end =
        index + 1 < polygonStarts_.size() ? polygonStarts_[index + 1] : points_.size();
    return {points_.data() + start, end - start};
}

std::vector<std::vector<SurfacePoint>> RecordingSurface::Polygons() const {
    std::vector<std::vector<SurfacePoint>> polygons;
    polygons.reserve(PolygonCount());
    for (std::size_t i = 0; i < PolygonCount(); ++i) {
        const auto polygon = PolygonAt(i);
        polygons.emplace_back(polygon.begin(), polygon.end());
    }
    return polygons;
}

} // namespace arbolith
