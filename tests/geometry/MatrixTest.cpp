#include <gtest/gtest.h>

#include "geometry/ExpectVector.h"
#include "geometry/Matrix.h"

namespace arbolith {
namespace {

void ExpectMatrix(const CMatrix& m, const std::array<double, 9>& e) {
    const std::array<double, 9> actual{m.m11, m.m12, m.m13, m.m21, m.m22,
                                       m.m23, m.m31, m.m32, m.m33};
    EXPECT_EQ(actual, e);
}

TEST(MatrixTest, StoresArgumentsRowByRow) {
    ExpectMatrix(CMatrix(), {0, 0, 0, 0, 0, 0, 0, 0, 0});
    const CMatrix m(1, 2, 3, 4, 5, 6, 7, 8, 9);
    EXPECT_EQ(m.m12, 2);
    EXPECT_EQ(m.m21, 4);
    ExpectMatrix(CMatrix(m), {1, 2, 3, 4, 5, 6, 7, 8, 9});
}

TEST(MatrixTest, VectorActsAsARowVectorFromTheLeft) {
    const CMatrix m(1, 2, 3, 4, 5, 6, 7, 8, 9);
    ExpectVector(m * CVector(1, 0, 0), 1, 2, 3);
    ExpectVector(m * CVector(0, 1, 0), 4, 5, 6);
    ExpectVector(m * CVector(0, 0, 1), 7, 8, 9);
    ExpectVector(m * CVector(1, 1, 1), 12, 15, 18);
}

TEST(MatrixTest, InAProductTheLeftFactorActsFirst) {
    const CMatrix a(0, 1, 0, -1, 0, 0, 0, 0, 1);
    const CMatrix b(2, 0, 0, 0, 1, 0, 0, 0, 1);
    ExpectVector(a * CVector(1, 0, 0), 0, 1, 0);
    ExpectVector(a * CVector(0, 1, 0), -1, 0, 0);

    const CMatrix ab = a * b;
    ExpectMatrix(ab, {0, 1, 0, -2, 0, 0, 0, 0, 1});
    ExpectVector(ab * CVector(0, 1, 0), -2, 0, 0);
    const CVector viaSteps = b * (a * CVector(0, 1, 0));
    ExpectVector(viaSteps, -2, 0, 0);
    ExpectVector((b * a) * CVector(0, 1, 0), -1, 0, 0);
}

TEST(MatrixTest, ScalesEveryElementAndLeavesOperandsAlone) {
    const CMatrix m(1, 2, 3, 4, 5, 6, 7, 8, 9);
    ExpectMatrix(m * 2, {2, 4, 6, 8, 10, 12, 14, 16, 18});
    const CMatrix product = m * m;
    ExpectMatrix(product, {30, 36, 42, 66, 81, 96, 102, 126, 150});
    const CVector v(1, -1, 2);
    (void)(m * v);
    ExpectMatrix(m, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    ExpectVector(v, 1, -1, 2);
}

} // namespace
} // namespace arbolith
