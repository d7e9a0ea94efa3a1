// The second's field and live tuning.
#include <gtest/gtest.h>

#include <QTest>

#include "DialogHelpers.h"
#include "ui/DialogLayout.h"
#include "ui/qt/TemplatePanel.h"

namespace arbolith {
namespace {

using namespace arbolith::testing;

// Whether a run starts once the events of the edits are done.
bool Drawing(const TreeDialog& dialog) {
    QCoreApplication::processEvents();
    return dialog.RunGoing();
}

// With a second held, every edit draws that second's tree at once, a large one too, stopping the
// run that goes; without one, an edit draws nothing until the press; a field that holds no second
// draws nothing and says what it should hold.
TEST(Tuning, AHeldSecondRedrawsAtEveryEditAndAnEmptyOneWaitsForThePress) {
    TreeDialog dialog;
    dialog.show();
    TypeParameters(dialog, SmallTree());
    ASSERT_FALSE(Drawing(dialog)) << "no second held: typing draws nothing";
    ASSERT_FALSE(dialog.ShownTree().has_value());

    Type(dialog.SecondField(), QStringLiteral("1234567890"));
    ASSERT_TRUE(WaitForTree(dialog, SmallTree())) << "typing the second draws its tree";
    EXPECT_EQ(dialog.ShownTree()->second, 1234567890u);
    EXPECT_EQ(CanvasPixels(dialog), ReferencePixels(SmallTree(), 1234567890));

    struct Edit {
        int field;
        QString text;
        TreeParameters drawn;
    };
    TreeParameters fewer = SmallTree();
    fewer.levels = 3;
    TreeParameters wider = fewer;
    wider.maxAngleXY = 80;
    // An endless tree starts a run that the next edit stops.
    TreeParameters endless = EndlessTree();
    for (const Edit& edit : {Edit{kFieldLevels, QStringLiteral("3"), fewer},
                             Edit{kFieldMaxAngleXY, QStringLiteral("80"), wider}}) {
        Type(Field(dialog, edit.field), edit.text);
        ASSERT_TRUE(WaitForTree(dialog, edit.drawn));
        EXPECT_EQ(CanvasPixels(dialog), ReferencePixels(edit.drawn, 1234567890));
    }
    TypeParameters(dialog, endless);
    ASSERT_TRUE(Drawing(dialog));
    Type(Field(dialog, kFieldLevels), QStringLiteral("3"));
    endless.levels = 3;
    ASSERT_TRUE(WaitForTree(dialog, endless));
    EXPECT_EQ(dialog.ShownTree()->branchLimit, kNoBranchLimit);

    Type(dialog.SecondField(), QStringLiteral("12x"));
    EXPECT_FALSE(Drawing(dialog));
    EXPECT_TRUE(StatusText(dialog).contains(QStringLiteral("4294967295"))) << StatusText(dialog);
    dialog.Generate();
    EXPECT_FALSE(dialog.RunGoing()) << "a press does not draw a second that is not one";

    Type(dialog.SecondField(), QString());
    Type(Field(dialog, kFieldLevels), QStringLiteral("2"));
    EXPECT_FALSE(Drawing(dialog)) << "an empty second waits for the press";
    dialog.Generate();
    ASSERT_TRUE(WaitForRunEnd(dialog));
    EXPECT_EQ(dialog.ShownTree()->parameters.levels, 2);
    EXPECT_NE(dialog.ShownTree()->second, 1234567890u) << "empty means now";
}

} // namespace
} // namespace arbolith
