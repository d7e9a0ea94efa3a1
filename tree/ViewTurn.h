#pragma once

#include <cstdint>

#include "geometry/Vector.h"
#include "tree/DrawingSurface.h"
#include "tree/TreePainter.h"
#include "tree/TreeParameters.h"
#include "tree/Trigonometry.h"

namespace arbolith {

// Which side the tree is seen from, in whole degrees: it is first turned by `yaw` about the
// vertical axis through the trunk's foot (positive brings its front to the right), then tilted
// by `pitch` about the horizontal axis through the foot (positive brings its top toward the
// viewer, so that it is seen more from above). (0, 0) is the front view.
struct ViewAngles {
    std::int32_t yaw = 0;
    std::int32_t pitch = 0;
    bool IsFront() const { return yaw == 0 && pitch == 0; }
    friend bool operator==(const ViewAngles&, const ViewAngles&) = default;
};

// The angles a view takes: yaw from -180 to 180, pitch from -90 (from below) to 90 (from above).
inline constexpr std::int32_t kLargestYaw = 180;
inline constexpr std::int32_t kLargestPitch = 90;

// Any number of degrees as the same yaw within -179 to 180.
std::int32_t WrappedYaw(std::int64_t degrees);

// Cosine and sine of whole degrees: exact at the quarter turns, correctly rounded elsewhere, so
// that every front end turns a tree to the same bits.
CosSin DegreesCosSin(std::int32_t degrees);

// Turns points and vectors of the tree to a view. A component that the view leaves alone is
// passed on untouched, and the front view changes nothing at all.
class ViewTurn {
public:
    ViewTurn(ViewAngles view, const CVector& foot);

    // A point, turned about the foot.
    CVector Point(const CVector& point) const;
    // A displacement, such as a branch's vector.
    CVector Vector(const CVector& vector) const;

private:
    ViewAngles view_;
    CosSin yaw_;
    CosSin pitch_;
    CVector foot_;
};

// Draws every branch as the view shows it: its base and vector turned, then the usual corners
// and width from the turned base, vector and depth.
class TurnedPainter final : public CTreePainter {
public:
    TurnedPainter(DrawingSurface& target, const TreeParameters& parameters, ViewAngles view);

    void DrawBranch(CVector base, CVector vector) override;

private:
    ViewTurn turn_;
};

} // namespace arbolith
