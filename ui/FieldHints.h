#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ui/FieldNames.h"

namespace arbolith {

// What each of the dialog's twelve fields does, in a person's words, and the values that make
// sense there: the desktop's tooltips and the page's hints and sliders read this one table. A
// field takes any value its rules read; the range only says where trees worth seeing lie.
struct FieldHint {
    int id;
    std::string_view does;
    double low;
    double high;
    double step;
    // What a 0 there means, where it means more than nothing.
    std::string_view zeroMeans;
};

std::span<const FieldHint> FieldHints();
const FieldHint& HintOf(int id);

// The hint as one text: what the field does, and the range, "Sensible: 0 to 90."
std::string HintText(const FieldHint& hint);

// The field as a sentence names it: the heading and the label without their colons,
// "Reference point X".
std::string FieldTitle(const FieldName& field);

// What the text of the field reads as, by the dialog's rules, when that is not the text itself
// (white space round it aside): "0 (random limbs, 0 to 19 at every fork)" for "three" in the
// limbs' field. None where the text reads as itself.
std::optional<std::string> ReadsAs(int id, std::string_view text);

// The same as a sentence: Limbs degree: "three" reads as 0 (random limbs, ...), the text quoted
// as every message quotes one (values/MessageText.h).
std::optional<std::string> ReadingNote(const FieldName& field, std::string_view text);

} // namespace arbolith
