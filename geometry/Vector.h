#pragma once

namespace arbolith {

// A point or displacement in three dimensions. The operations are virtual, in this slot
// order: destructor, +, *; callers rely on that table layout.
class CVector {
public:
    double x;
    double y;
    double z;

    CVector() : x(0.0), y(0.0), z(0.0) {}
    CVector(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    CVector(const CVector&) = default;
    CVector& operator=(const CVector&) = default;
    virtual ~CVector() = default;

    // Defined here so that calls on values of known type inline.
    virtual CVector operator+(CVector w) const { return CVector(x + w.x, y + w.y, z + w.z); }
    virtual CVector operator*(double s) const { return CVector(s * x, s * y, s * z); }
};

} // namespace arbolith
