#include "tree/PictureFit.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "tree/DrawingRun.h"

namespace arbolith {

namespace {

// The share of a picture's smaller side left free on every side of a fitted tree.
constexpr double kMarginShare = 0.04;

// Draws nothing and keeps the smallest rectangle that holds every corner of every polygon.
class BoundsSurface final : public DrawingSurface {
public:
    void FillRectWhite(const SurfaceRect&) override {}
    SurfaceObject CreatePen(PenStyle, int width, Rgb) override {
        outline_ = width;
        return 1;
    }
    SurfaceObject CreateSolidBrush(Rgb) override { return 2; }
    void SetPolyFillMode(PolyFillMode) override {}
    SurfaceObject SelectObject(SurfaceObject) override { return 0; }
    bool DeleteObject(SurfaceObject) override { return true; }
    void Polygon(const SurfacePoint* points, int count) override {
        for (int i = 0; i < count; ++i) {
            left_ = std::min(left_, points[i].x);
            right_ = std::max(right_, points[i].x);
            top_ = std::min(top_, points[i].y);
            bottom_ = std::max(bottom_, points[i].y);
        }
    }
    bool TakesBlocks() const override { return true; }
    void Quadrilaterals(const SurfacePoint* corners, std::size_t count) override {
        Polygon(corners, static_cast<int>(4 * count));
    }

    // The outline's pixels reach its width beyond the last corner to the right and below.
    PictureBox Box() const {
        if (left_ > right_) {
            return {};
        }
        return {static_cast<double>(left_), static_cast<double>(top_),
                static_cast<double>(right_) + outline_, static_cast<double>(bottom_) + outline_};
    }

private:
    std::int32_t left_ = std::numeric_limits<std::int32_t>::max();
    std::int32_t top_ = std::numeric_limits<std::int32_t>::max();
    std::int32_t right_ = std::numeric_limits<std::int32_t>::min();
    std::int32_t bottom_ = std::numeric_limits<std::int32_t>::min();
    int outline_ = 1;
};

} // namespace

std::optional<PictureBox> MeasurePicture(const TreeOrder& order, RunMonitor* monitor) {
    BoundsSurface bounds;
    if (DrawTree(bounds, order, monitor).stopped) {
        return std::nullopt;
    }
    return bounds.Box();
}

Placement FitPlacement(const PictureBox& box, int width, int height) {
    if (box.Empty()) {
        return {};
    }
    const double margin = kMarginShare * std::min(width, height);
    const double scale = std::clamp(std::min((width - 2 * margin) / (box.right - box.left),
                                             (height - 2 * margin) / (box.bottom - box.top)),
                                    std::numeric_limits<double>::min(), kLargestScale);
    return {scale, (width - scale * (box.right - box.left)) / 2 - scale * box.left,
            (height - scale * (box.bottom - box.top)) / 2 - scale * box.top};
}

} // namespace arbolith
