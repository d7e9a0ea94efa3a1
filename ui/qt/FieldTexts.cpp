#include "ui/qt/FieldTexts.h"

#include <charconv>

#include "ui/DialogLayout.h"

namespace arbolith {

namespace {

// The shortest text that converts back to the same double.
std::string ScaleText(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

} // namespace

std::array<std::pair<int, std::string>, 12> FieldTextsOf(const TreeParameters& parameters) {
    const auto integer = [](std::int32_t value) {
        return std::to_string(value);
    };
    return {{
        {kFieldMaxAngleXY, integer(parameters.maxAngleXY)},
        {kFieldMaxAngleXZ, integer(parameters.maxAngleXZ)},
        {kFieldMaxAngleYZ, integer(parameters.maxAngleYZ)},
        {kFieldScaleFactor, ScaleText(parameters.scaleFactor)},
        {kFieldLimbsDegree, integer(parameters.limbsDegree)},
        {kFieldReferenceX, integer(parameters.referencePoint.x)},
        {kFieldReferenceY, integer(parameters.referencePoint.y)},
        {kFieldReferenceZ, integer(parameters.referencePoint.z)},
        {kFieldVectorX, integer(parameters.firstVector.x)},
        {kFieldVectorY, integer(parameters.firstVector.y)},
        {kFieldVectorZ, integer(parameters.firstVector.z)},
        {kFieldLevels, integer(parameters.levels)},
    }};
}

} // namespace arbolith
