#include <gtest/gtest.h>

#include <type_traits>

#include "geometry/ExpectVector.h"
#include "geometry/Vector.h"

namespace arbolith {
namespace {

TEST(VectorTest, ConstructsZeroAndGivenComponents) {
    ExpectVector(CVector(), 0, 0, 0);
    ExpectVector(CVector(1.5, -2, 3e10), 1.5, -2, 3e10);
    const CVector original(4, 5, 6);
    const CVector copy(original);
    ExpectVector(copy, 4, 5, 6);
    static_assert(std::is_polymorphic_v<CVector>, "operations are virtual");
}

TEST(VectorTest, AddsAndScalesWithoutTouchingOperands) {
    const CVector v(1, 2, 3);
    const CVector w(10, -20, 0.5);
    ExpectVector(v + w, 11, -18, 3.5);
    ExpectVector(v * -2.5, -2.5, -5, -7.5);
    ExpectVector(v, 1, 2, 3);
    ExpectVector(w, 10, -20, 0.5);
}

TEST(VectorTest, IdentitiesHoldComponentForComponent) {
    const CVector v(0.1, -7.25, 1e-300);
    ExpectVector(v * 1, 0.1, -7.25, 1e-300);
    ExpectVector(v + CVector(0, 0, 0), 0.1, -7.25, 1e-300);
}

TEST(VectorTest, ScalingByANegativeNumberReversesTheVector) {
    ExpectVector(CVector(3, -4, 0) * -1, -3, 4, -0.0);
}

} // namespace
} // namespace arbolith
