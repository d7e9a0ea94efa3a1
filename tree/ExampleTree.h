#pragma once

#include "tree/TreeParameters.h"

namespace arbolith {

// A tree worth looking at on the 560 x 670 canvas: the values the desktop program's fields
// start with and arbolith-render draws when given none. Every limb turns clockwise, so the
// trunk leans left to keep the crown on the canvas; a deeper foot makes the trunk wider.
inline constexpr TreeParameters kExampleTree{
    .maxAngleXY = 25,
    .maxAngleYZ = 40,
    .maxAngleXZ = 40,
    .scaleFactor = 0.78,
    .limbsDegree = 3,
    .referencePoint = {230, 650, -60},
    .firstVector = {-40, -150, 0},
    .levels = 7,
};

} // namespace arbolith
