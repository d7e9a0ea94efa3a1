#pragma once

#include <cstdint>
#include <vector>

#include "surface/DrawingSurface.h"

namespace arbolith {

// A polygon reaching far beyond a surface, redrawn from small numbers with exactly the pixels it
// has on the surface (surface/PixelRules.h): a drawing system whose arithmetic is slow or wrong for
// far-off corners then draws it quickly and right.
struct VisiblePolygon {
    // Fills exactly the polygon's pixels of the surface, under either fill rule: on every row of
    // the surface it crosses the rows where the polygon's edges do, in the same directions, and
    // elsewhere it keeps to the rows and columns just outside. Drawn without an outline.
    std::vector<SurfacePoint> fill;
    // The polygon's outline pixels on the surface as straight runs, two points each: a run
    // from the first point up to, not including, the second, one pixel wide.
    std::vector<SurfacePoint> runs;
};

// How far beyond the surface a corner may lie before the polygon is drawn from its visible part.
inline constexpr std::int64_t kFarMargin = 1 << 14;

// True when some corner lies more than kFarMargin beyond the surface of width x height pixels.
bool ReachesFar(const SurfacePoint* points, int count, int width, int height);

// True when no pixel of the polygon can fall on the surface: every corner lies beyond the same
// side of it.
bool WhollyOff(const SurfacePoint* points, int count, int width, int height);

// The polygon's visible part on a surface of width x height pixels.
VisiblePolygon VisiblePartOf(const SurfacePoint* points, int count, int width, int height);

} // namespace arbolith
