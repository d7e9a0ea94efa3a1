#include "geometry/Vector.h"

namespace arbolith {

CVector CVector::operator+(CVector w) const {
    return CVector(x + w.x, y + w.y, z + w.z);
}

CVector CVector::operator*(double s) const {
    return CVector(s * x, s * y, s * z);
}

} // namespace arbolith
