#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tree/Presets.h"
#include "ui/DialogLayout.h"
#include "ui/FieldHints.h"
#include "ui/FieldNames.h"
#include "ui/FieldTexts.h"

namespace arbolith {
namespace {

TEST(FieldHintsTest, EveryFieldHasOneHintWhoseRangeHoldsEveryPreset) {
    std::set<int> hinted;
    for (const FieldHint& hint : FieldHints()) {
        EXPECT_TRUE(hinted.insert(hint.id).second) << hint.id;
        EXPECT_LT(hint.low, hint.high) << hint.id;
        EXPECT_GT(hint.step, 0) << hint.id;
    }
    for (const FieldName& field : FieldNames()) {
        EXPECT_TRUE(hinted.count(field.id)) << FieldTitle(field);
    }
    EXPECT_EQ(hinted.size(), FieldNames().size());
    for (const Preset& preset : kPresets) {
        for (const auto& [id, text] : FieldTextsOf(preset.parameters)) {
            const FieldHint& hint = HintOf(id);
            const double value = std::stod(text);
            EXPECT_TRUE(value >= hint.low && value <= hint.high)
                << preset.name << ", field " << id << ": " << text;
        }
    }
}

TEST(FieldHintsTest, SaysWhatATextReadsAsWhereThatIsNotTheText) {
    struct Case {
        int id;
        std::string text;
        std::optional<std::string> readsAs;
    };
    const std::vector<Case> cases{
        {kFieldLimbsDegree, "3", std::nullopt},
        {kFieldLimbsDegree, " 3\t", std::nullopt},
        {kFieldLimbsDegree, "three", "0 (random limbs, 0 to 19 at every fork)"},
        {kFieldLimbsDegree, "0", std::nullopt},
        {kFieldLevels, "3 levels", "3"},
        {kFieldLevels, "", "0"},
        {kFieldLevels, "4294967297", "1"},
        {kFieldReferenceX, "+280", "280"},
        {kFieldScaleFactor, "0.780", "0.78"},
        {kFieldScaleFactor, "7.8d-1", "0.78"},
        {kFieldScaleFactor, "abc", "0 (a random factor from 0 to 0.8 for every limb)"},
        {kFieldScaleFactor, "0.12345678901234567890", "0.12345678901234566"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadsAs(c.id, c.text), c.readsAs) << c.id << " '" << c.text << "'";
    }
    const FieldName limbs{kFieldLimbsDegree, "", "Limbs degree:"};
    EXPECT_EQ(ReadingNote(limbs, "three"),
              "Limbs degree: \"three\" reads as 0 (random limbs, 0 to 19 at every fork)");
    EXPECT_EQ(FieldTitle({kFieldReferenceZ, "Reference point:", "Z:"}), "Reference point Z");
}

} // namespace
} // namespace arbolith
