#include "geometry/Matrix.h"

namespace arbolith {

CMatrix CMatrix::operator*(double s) const {
    return CMatrix(m11 * s, m12 * s, m13 * s, m21 * s, m22 * s, m23 * s, m31 * s, m32 * s, m33 * s);
}

CVector CMatrix::operator*(CVector v) const {
    return CVector(m11 * v.x + m21 * v.y + m31 * v.z, m12 * v.x + m22 * v.y + m32 * v.z,
                   m13 * v.x + m23 * v.y + m33 * v.z);
}

CMatrix CMatrix::operator*(CMatrix b) const {
    return CMatrix(m11 * b.m11 + m12 * b.m21 + m13 * b.m31, m11 * b.m12 + m12 * b.m22 + m13 * b.m32,
                   m11 * b.m13 + m12 * b.m23 + m13 * b.m33, m21 * b.m11 + m22 * b.m21 + m23 * b.m31,
                   m21 * b.m12 + m22 * b.m22 + m23 * b.m32, m21 * b.m13 + m22 * b.m23 + m23 * b.m33,
                   m31 * b.m11 + m32 * b.m21 + m33 * b.m31, m31 * b.m12 + m32 * b.m22 + m33 * b.m32,
                   m31 * b.m13 + m32 * b.m23 + m33 * b.m33);
}

} // namespace arbolith
