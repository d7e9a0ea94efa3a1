#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/DialogLayout.h"
#include "ui/FieldNames.h"

namespace arbolith {
namespace {

TEST(FieldNamesTest, EveryFieldIsNamedByItsRowAndTheHeadingOfItsPoint) {
    const std::vector<FieldName> expected{
        {kFieldMaxAngleXZ, "", "Maximal XZ angle:"},  {kFieldMaxAngleYZ, "", "Maximal YZ angle:"},
        {kFieldMaxAngleXY, "", "Maximal XYangle:"},   {kFieldScaleFactor, "", "Scale factor:"},
        {kFieldLimbsDegree, "", "Limbs degree:"},     {kFieldReferenceX, "Reference point:", "X:"},
        {kFieldReferenceY, "Reference point:", "Y:"}, {kFieldReferenceZ, "Reference point:", "Z:"},
        {kFieldVectorX, "First vector:", "X:"},       {kFieldVectorY, "First vector:", "Y:"},
        {kFieldVectorZ, "First vector:", "Z:"},       {kFieldLevels, "", "Levels:"},
    };
    const std::vector<FieldName> names = FieldNames();
    ASSERT_EQ(names.size(), expected.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(names[i].id, expected[i].id) << i;
        EXPECT_EQ(names[i].heading, expected[i].heading) << i;
        EXPECT_EQ(names[i].label, expected[i].label) << i;
    }
}

} // namespace
} // namespace arbolith
