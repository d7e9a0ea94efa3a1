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

    // Defined here so that calls on values of known type inline.
    virtual CMatrix operator*(double s) const {
        return CMatrix(m11 * s, m12 * s, m13 * s, m21 * s, m22 * s, m23 * s, m31 * s, m32 * s,
                       m33 * s);
    }

    virtual CVector operator*(CVector v) const {
        return CVector(m11 * v.x + m21 * v.y + m31 * v.z, m12 * v.x + m22 * v.y + m32 * v.z,
                       m13 * v.x + m23 * v.y + m33 * v.z);
    }

    virtual CMatrix operator*(CMatrix b) const {
        return CMatrix(
            m11 * b.m11 + m12 * b.m21 + m13 * b.m31, m11 * b.m12 + m12 * b.m22 + m13 * b.m32,
            m11 * b.m13 + m12 * b.m23 + m13 * b.m33, m21 * b.m11 + m22 * b.m21 + m23 * b.m31,
            m21 * b.m12 + m22 * b.m22 + m23 * b.m32, m21 * b.m13 + m22 * b.m23 + m23 * b.m33,
            m31 * b.m11 + m32 * b.m21 + m33 * b.m31, m31 * b.m12 + m32 * b.m22 + m33 * b.m32,
            m31 * b.m13 + m32 * b.m23 + m33 * b.m33);
    }
};

} // namespace arbolith
