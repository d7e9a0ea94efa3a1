#pragma once

#include <cstdint>

#include "geometry/Vector.h"
#include "tree/Trigonometry.h"
#include "tree/ViewAngles.h"

namespace arbolith {

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

} // namespace arbolith
