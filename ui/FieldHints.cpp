#include "ui/FieldHints.h"

#include <algorithm>
#include <array>

#include "numbers/DecimalText.h"
#include "ui/DialogLayout.h"
#include "ui/FieldText.h"
#include "ui/FieldTexts.h"
#include "values/MessageText.h"

namespace arbolith {

namespace {

constexpr std::array kHints{
    FieldHint{kFieldMaxAngleXZ,
              "The largest turn of a limb about the upright axis, in whole degrees, drawn anew "
              "for every limb; 360 spins the limbs all round their parent.",
              0, 360, 1, ""},
    FieldHint{kFieldMaxAngleYZ,
              "The largest tilt of a limb toward or away from you, in whole degrees.", 0, 90, 1,
              ""},
    FieldHint{kFieldMaxAngleXY,
              "The largest turn of a limb in the picture's plane, in whole degrees; limbs always "
              "turn the same way round, so a large turn curls the crown.",
              0, 90, 1, ""},
    FieldHint{kFieldScaleFactor,
              "Each limb's length against its parent's: below 1 the tree tapers, above 1 it "
              "grows without end.",
              0, 0.95, 0.01, "a random factor from 0 to 0.8 for every limb"},
    FieldHint{kFieldLimbsDegree,
              "The limbs at every fork. Each more multiplies the branches, and the time a tree "
              "takes, at every level.",
              0, 8, 1, "random limbs, 0 to 19 at every fork"},
    FieldHint{kFieldReferenceX, "Where the trunk's foot stands: pixels from the canvas's left.", 0,
              560, 1, ""},
    FieldHint{kFieldReferenceY, "Where the trunk's foot stands: pixels from the canvas's top.", 0,
              670, 1, ""},
    FieldHint{kFieldReferenceZ,
              "The foot's depth, which only sets the branches' width: toward you (below 0) they "
              "are wider, away from you narrower.",
              -300, 300, 1, ""},
    FieldHint{kFieldVectorX, "The trunk's reach to the right in pixels; below 0 to the left.", -200,
              200, 1, ""},
    FieldHint{kFieldVectorY,
              "The trunk's reach downward in pixels: below 0 it grows upward, as trees do.", -300,
              300, 1, ""},
    FieldHint{kFieldVectorZ,
              "The trunk's reach away from you, which narrows the branches above it.", -300, 300, 1,
              ""},
    FieldHint{kFieldLevels,
              "Generations of limbs above the trunk, less one. Each more multiplies the branches "
              "by the limbs.",
              0, 12, 1, ""},
};

std::string Trimmed(std::string_view text) {
    const auto space = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    };
    while (!text.empty() && space(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && space(text.back())) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

} // namespace

std::span<const FieldHint> FieldHints() {
    return kHints;
}

const FieldHint& HintOf(int id) {
    return *std::find_if(kHints.begin(), kHints.end(),
                         [id](const FieldHint& hint) { return hint.id == id; });
}

std::string HintText(const FieldHint& hint) {
    std::string text = std::string(hint.does) + " Sensible: " + ShortestText(hint.low) + " to " +
                       ShortestText(hint.high);
    if (!hint.zeroMeans.empty()) {
        text += "; 0 gives " + std::string(hint.zeroMeans);
    }
    return text + '.';
}

std::string FieldTitle(const FieldName& field) {
    std::string title = field.heading.empty() ? field.label : field.heading + ' ' + field.label;
    title.erase(std::remove(title.begin(), title.end(), ':'), title.end());
    return Trimmed(title);
}

std::optional<std::string> ReadsAs(int id, std::string_view text) {
    const TreeParameters read = ReadTreeParameters(
        [id, text](int field) { return field == id ? std::string(text) : std::string(); });
    std::string value;
    for (const auto& [field, fieldText] : FieldTextsOf(read)) {
        if (field == id) {
            value = fieldText;
        }
    }
    if (value == Trimmed(text)) {
        return std::nullopt;
    }
    const std::string_view zeroMeans = HintOf(id).zeroMeans;
    if (value == "0" && !zeroMeans.empty()) {
        value += " (" + std::string(zeroMeans) + ")";
    }
    return value;
}

std::optional<std::string> ReadingNote(const FieldName& field, std::string_view text) {
    const std::optional<std::string> value = ReadsAs(field.id, text);
    if (!value) {
        return std::nullopt;
    }
    return FieldTitle(field) + ": " + Quoted(text, '"') + " reads as " + *value;
}

} // namespace arbolith
