#pragma once

#include "geometry/Vector.h"

namespace arbolith {

// A 3x3 matrix stored row by row. Vectors are row vectors multiplied from the left, so
// M * v yields v·M: component k of the result is v dotted with column k, and in A * B the
// left factor acts on a vector first. Virtual slot order: destructor, *scalar, *vector,
// *matrix.
class CMatrix {
public:
    double m11, m12, m13;
    double m21, m22, m23;
    double m31, m32, m33;

    CMatrix() : m11(0), m12(0), m13(0), m21(0), m22(0), m23(0), m31(0), m32(0), m33(0) {}
    CMatrix(double a11, double a12, double a13, double a21, double a22, double a23, double a31,
            double a32, double a33)
        : m11(a11), m12(a12), m13(a13), m21(a21), m22(a22), m23(a23), m31(a31), m32(a32), m33(a33) {
    }
    CMatrix(const CMatrix&) = default;
    CMatrix& operator=(const CMatrix&) = default;
    virtual ~CMatrix() = default;

    virtual CMatrix operator*(double s) const;
    virtual CVector operator*(CVector v) const;
    virtual CMatrix operator*(CMatrix b) const;
};

} // namespace arbolith
