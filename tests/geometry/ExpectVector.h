#pragma once

#include <gtest/gtest.h>

#include "geometry/Vector.h"

namespace arbolith {

// Component for component, exactly.
inline void ExpectVector(const CVector& v, double x, double y, double z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

} // namespace arbolith
