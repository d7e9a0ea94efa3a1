#pragma once

#include <cstdint>

namespace arbolith {

struct IntTriple {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t z = 0;
    friend bool operator==(const IntTriple&, const IntTriple&) = default;
};

// The twelve values of the dialog. The angle bounds stand in the order XY, YZ, XZ here and
// in every argument list that carries them.
struct TreeParameters {
    std::int32_t maxAngleXY = 0;
    std::int32_t maxAngleYZ = 0;
    std::int32_t maxAngleXZ = 0;
    double scaleFactor = 0.0;
    std::int32_t limbsDegree = 0;
    IntTriple referencePoint;
    IntTriple firstVector;
    std::int32_t levels = 0;
    friend bool operator==(const TreeParameters&, const TreeParameters&) = default;
};

} // namespace arbolith
