#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "ui/DialogLayout.h"

namespace arbolith {
namespace {

TEST(DialogLayoutTest, EveryFieldTheDialogReadsIsAnInputFieldOnce) {
    std::multiset<int> fields;
    for (const DialogControl& control : kDialogControls) {
        if (control.kind == ControlKind::InputField) {
            fields.insert(control.id);
            EXPECT_STREQ(control.windowClass, "EDIT");
            EXPECT_EQ(control.style, 0x50810080u);
        }
    }
    EXPECT_EQ(fields, std::multiset<int>(kFieldReadOrder.begin(), kFieldReadOrder.end()));
}

TEST(DialogLayoutTest, EachInputFieldSitsOnTheRowOfItsLabel) {
    auto find = [](auto predicate) {
        return *std::find_if(kDialogControls.begin(), kDialogControls.end(), predicate);
    };
    auto byId = [&](int id) {
        return find([id](const DialogControl& c) { return c.id == id; });
    };
    auto byText = [&](const std::string& text) {
        return find([&](const DialogControl& c) { return text == c.text; });
    };
    auto overlapsRow = [](const DialogControl& field, const DialogControl& label) {
        return field.y < label.y + label.height && label.y < field.y + field.height;
    };
    EXPECT_TRUE(overlapsRow(byId(kFieldMaxAngleXZ), byText("Maximal XZ angle:")));
    EXPECT_TRUE(overlapsRow(byId(kFieldMaxAngleYZ), byText("Maximal YZ angle:")));
    EXPECT_TRUE(overlapsRow(byId(kFieldMaxAngleXY), byText("Maximal XYangle:")));
    EXPECT_TRUE(overlapsRow(byId(kFieldScaleFactor), byText("Scale factor:")));
    EXPECT_TRUE(overlapsRow(byId(kFieldLimbsDegree), byText("Limbs degree:")));
    EXPECT_TRUE(overlapsRow(byId(kFieldLevels), byText("Levels:")));
}

TEST(DialogLayoutTest, HasTheTwoButtonsAndThePictureInTemplateOrder) {
    ASSERT_EQ(kDialogControls.size(), 29u);
    EXPECT_EQ(kDialogControls[11].id, kButtonGenerate);
    EXPECT_STREQ(kDialogControls[11].text, "Generate new tree");
    EXPECT_EQ(kDialogControls[11].kind, ControlKind::DefaultButton);
    EXPECT_EQ(kDialogControls[12].id, kButtonExit);
    EXPECT_STREQ(kDialogControls[12].text, "Exit");
    EXPECT_EQ(kDialogControls[22].kind, ControlKind::Picture);
    EXPECT_EQ(kDialogControls[28].id, kFieldLevels);
    EXPECT_STREQ(kDialogHeader.title, "Arbolith generator");
}

} // namespace
} // namespace arbolith
