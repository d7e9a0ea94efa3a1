#pragma once

#include <cstddef>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "surface/DrawingSurface.h"

namespace arbolith {

// A surface that draws nothing: it records every call in order, keeps track of the pens and
// brushes that exist and which are selected, and notes every misuse, for tests and tools.
class RecordingSurface : public DrawingSurface {
public:
    enum class Op {
        FillRectWhite,
        CreatePen,
        CreateSolidBrush,
        SetPolyFillMode,
        SelectObject,
        Polygon,
        DeleteObject
    };

    struct Call {
        Op op;
        SurfaceRect rect{};         // FillRectWhite
        PenStyle penStyle{};        // CreatePen
        int penWidth = 0;           // CreatePen
        Rgb colour{};               // CreatePen, CreateSolidBrush
        PolyFillMode fillMode{};    // SetPolyFillMode
        SurfaceObject object = 0;   // the object selected or deleted, or the one created
        SurfaceObject replaced = 0; // SelectObject: the object it gave back
        std::size_t polygon = 0;    // Polygon: index into Polygons()
    };

    // The objects selected before any call, as a fresh device context has them.
    static constexpr SurfaceObject kStockPen = 1;
    static constexpr SurfaceObject kStockBrush = 2;

    // `keepCalls` false records polygons only, for very large trees.
    explicit RecordingSurface(bool keepCalls = true) : keepCalls_(keepCalls) {}

    void FillRectWhite(const SurfaceRect& rect) override;
    SurfaceObject CreatePen(PenStyle style, int width, Rgb colour) override;
    SurfaceObject CreateSolidBrush(Rgb colour) override;
    void SetPolyFillMode(PolyFillMode mode) override;
    SurfaceObject SelectObject(SurfaceObject object) override;
    void Polygon(const SurfacePoint* points, int count) override;
    bool DeleteObject(SurfaceObject object) override;

    const std::vector<Call>& Calls() const { return calls_; }
    std::size_t PolygonCount() const { return polygonStarts_.size(); }
    std::span<const SurfacePoint> PolygonAt(std::size_t index) const;
    std::vector<std::vector<SurfacePoint>> Polygons() const;

    SurfaceObject SelectedPen() const { return selectedPen_; }
    SurfaceObject SelectedBrush() const { return selectedBrush_; }
    PolyFillMode FillMode() const { return fillMode_; }
    // Pens and brushes created and not yet deleted.
    std::size_t LiveObjects() const { return live_.size(); }
    // Each misuse, in words: deleting a selected or unknown object, selecting an unknown one.
    const std::vector<std::string>& Problems() const { return problems_; }

private:
    enum class Kind { Pen, Brush };

    void Record(const Call& call);

    bool keepCalls_;
    std::vector<Call> calls_;
    std::vector<SurfacePoint> points_;
    std::vector<std::size_t> polygonStarts_;
    std::map<SurfaceObject, Kind> live_;
    SurfaceObject nextObject_ = 100;
    SurfaceObject selectedPen_ = kStockPen;
    SurfaceObject selectedBrush_ = kStockBrush;
    PolyFillMode fillMode_ = PolyFillMode::Alternate;
    std::vector<std::string> problems_;
};

} // namespace arbolith
