#include "render/PainterSurface.h"

#include <algorithm>
#include <cstdint>

#include <QPen>

#include "render/PolygonClip.h"

namespace arbolith {

namespace {

QColor ToColor(Rgb colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

} // namespace

PainterSurface::PainterSurface(QPainter& painter) : painter_(painter) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    const QRect window = painter_.window();
    clipBounds_ = QRectF(window).adjusted(-kClipMargin, -kClipMargin, kClipMargin, kClipMargin);
    clipLeft_ = static_cast<std::int64_t>(clipBounds_.left());
    clipTop_ = static_cast<std::int64_t>(clipBounds_.top());
    clipRight_ = static_cast<std::int64_t>(clipBounds_.right());
    clipBottom_ = static_cast<std::int64_t>(clipBounds_.bottom());
}

void PainterSurface::FillRectWhite(const SurfaceRect& rect) {
    // In 64 bits and cut to the clip bounds: the rectangle may span the whole 32-bit plane.
    const auto clampX = [&](std::int64_t x) {
        return std::clamp<std::int64_t>(x, static_cast<std::int64_t>(clipBounds_.left()),
                                        static_cast<std::int64_t>(clipBounds_.right()));
    };
    const auto clampY = [&](std::int64_t y) {
        return std::clamp<std::int64_t>(y, static_cast<std::int64_t>(clipBounds_.top()),
                                        static_cast<std::int64_t>(clipBounds_.bottom()));
    };
    const std::int64_t left = clampX(rect.left);
    const std::int64_t right = clampX(rect.right);
    const std::int64_t top = clampY(rect.top);
    const std::int64_t bottom = clampY(rect.bottom);
    if (right <= left || bottom <= top) {
        return;
    }
    painter_.fillRect(QRect(static_cast<int>(left), static_cast<int>(top),
                            static_cast<int>(right - left), static_cast<int>(bottom - top)),
                      Qt::white);
}

SurfaceObject PainterSurface::CreatePen(PenStyle style, int width, Rgb colour) {
    return objects_.CreatePen(style, width, colour);
}

SurfaceObject PainterSurface::CreateSolidBrush(Rgb colour) {
    return objects_.CreateBrush(colour);
}

void PainterSurface::SetPolyFillMode(PolyFillMode mode) {
    fillMode_ = mode;
}

SurfaceObject PainterSurface::SelectObject(SurfaceObject object) {
    objectsChanged_ = true;
    return objects_.Select(object);
}

bool PainterSurface::DeleteObject(SurfaceObject object) {
    return objects_.Delete(object);
}

void PainterSurface::UseSelectedObjects() {
    if (!objectsChanged_) {
        return;
    }
    const SurfaceObjects::Pen& pen = objects_.SelectedPen();
    // A width of 0 or 1 is the thinnest line; it scales with the painter like any other.
    QPen qpen(ToColor(pen.colour), std::max(pen.width, 1), Qt::SolidLine, Qt::SquareCap,
              Qt::MiterJoin);
    painter_.setPen(qpen);
    painter_.setBrush(ToColor(objects_.SelectedBrush().colour));
    objectsChanged_ = false;
}

void PainterSurface::Polygon(const SurfacePoint* points, int count) {
    if (count <= 0) {
        return;
    }
    UseSelectedObjects();
    const Qt::FillRule rule =
        fillMode_ == PolyFillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill;
    // Every branch passes here: integer bounds and corners on the stack keep the cost per
    // polygon far below the rasterizer's own.
    const bool farFlung = std::any_of(points, points + count, [&](const SurfacePoint& p) {
        return p.x < clipLeft_ || p.x > clipRight_ || p.y < clipTop_ || p.y > clipBottom_;
    });
    if (farFlung) {
        QPolygonF exact;
        exact.reserve(count);
        for (int i = 0; i < count; ++i) {
            exact.append(QPointF(points[i].x, points[i].y));
        }
        const QPolygonF clipped = ClipPolygon(exact, clipBounds_);
        if (!clipped.isEmpty()) {
            painter_.drawPolygon(clipped, rule);
        }
        return;
    }
    corners_.resize(count);
    for (int i = 0; i < count; ++i) {
        corners_[i] = QPoint(points[i].x, points[i].y);
    }
    painter_.drawPolygon(corners_.data(), count, rule);
}

} // namespace arbolith
