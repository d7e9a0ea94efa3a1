#pragma once

#include "tree/TreeParameters.h"

namespace arbolith {

// A tree worth looking at on the 560 x 670 canvas: the values the desktop program's fields
// start with and arbolith-render draws when given none.
inline constexpr TreeParameters kExampleTree{
    .maxAngleXY = 40,
    .maxAngleYZ = 20,
    .maxAngleXZ = 30,
    .scaleFactor = 0.75,
    .limbsDegree = 3,
    .referencePoint = {280, 640, 0},
    .firstVector = {0, -150, 0},
    .levels = 7,
};

} // namespace arbolith
