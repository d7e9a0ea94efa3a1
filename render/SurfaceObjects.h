#pragma once

#include <cstddef>
#include <map>
#include <variant>

#include "tree/DrawingSurface.h"

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

} // namespace arbolith
