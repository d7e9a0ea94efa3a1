#pragma once

#include <cstddef>
#include <map>
#include <variant>

#include "surface/DrawingSurface.h"

namespace arbolith {

// The pens and brushes of one surface, behind the handles the core holds: which exist, which
// are selected, and what they look like. A fresh surface has a stock pen and brush selected, as
// a fresh device context has: a black 1-pixel pen and a white brush.
class SurfaceObjects {
public:
    struct Pen {
        PenStyle style = PenStyle::Solid;
        int width = 1;
        Rgb colour{0, 0, 0};
    };
    struct Brush {
        Rgb colour{255, 255, 255};
    };

    static constexpr SurfaceObject kStockPen = 1;
    static constexpr SurfaceObject kStockBrush = 2;

    SurfaceObject CreatePen(PenStyle style, int width, Rgb colour);
    SurfaceObject CreateBrush(Rgb colour);
    // Selects a pen or brush and returns the one of its kind it replaces; 0 for an unknown one.
    SurfaceObject Select(SurfaceObject object);
    // Refuses stock objects, selected ones and unknown ones.
    bool Delete(SurfaceObject object);

    const Pen& SelectedPen() const;
    const Brush& SelectedBrush() const;
    SurfaceObject SelectedPenHandle() const { return selectedPen_; }
    SurfaceObject SelectedBrushHandle() const { return selectedBrush_; }
    // Pens and brushes created and not yet deleted.
    std::size_t LiveObjects() const { return objects_.size() - 2; }

private:
    std::map<SurfaceObject, std::variant<Pen, Brush>> objects_{{kStockPen, Pen{}},
                                                               {kStockBrush, Brush{}}};
    SurfaceObject nextHandle_ = 100;
    SurfaceObject selectedPen_ = kStockPen;
    SurfaceObject selectedBrush_ = kStockBrush;
};

// A drawing surface that keeps its own pens, brushes and fill mode; the drawing itself is the
// subclass's, with the selected pen and brush at hand.
class ObjectSurface : public DrawingSurface {
public:
    SurfaceObject CreatePen(PenStyle style, int width, Rgb colour) override {
        return objects_.CreatePen(style, width, colour);
    }
    SurfaceObject CreateSolidBrush(Rgb colour) override { return objects_.CreateBrush(colour); }
    void SetPolyFillMode(PolyFillMode mode) override {
        fillMode_ = mode;
        StyleChanged();
    }
    SurfaceObject SelectObject(SurfaceObject object) override {
        const SurfaceObject replaced = objects_.Select(object);
        pen_ = objects_.SelectedPen();
        brush_ = objects_.SelectedBrush();
        StyleChanged();
        return replaced;
    }
    bool DeleteObject(SurfaceObject object) override { return objects_.Delete(object); }

    const SurfaceObjects& Objects() const { return objects_; }
    const SurfaceObjects::Pen& SelectedPen() const { return pen_; }
    const SurfaceObjects::Brush& SelectedBrush() const { return brush_; }
    PolyFillMode FillMode() const { return fillMode_; }

protected:
    // Called once the pen, the brush or the fill mode may have changed.
    virtual void StyleChanged() {}

private:
    SurfaceObjects objects_;
    SurfaceObjects::Pen pen_;
    SurfaceObjects::Brush brush_;
    PolyFillMode fillMode_ = PolyFillMode::Alternate;
};

} // namespace arbolith
