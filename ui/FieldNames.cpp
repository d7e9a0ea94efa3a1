#include "ui/FieldNames.h"

#include <cstdlib>

#include "ui/DialogLayout.h"

namespace arbolith {

namespace {

// Controls whose tops lie this close, in dialog units, stand on one row.
constexpr int kRowTolerance = 4;

bool OnRow(const DialogControl& a, const DialogControl& b) {
    return std::abs(a.y - b.y) <= kRowTolerance;
}

bool IsField(const DialogControl& control) {
    return control.kind == ControlKind::InputField;
}

// The label nearest to the field's left on its row, if any.
const DialogControl* RowLabel(const DialogControl& field) {
    const DialogControl* nearest = nullptr;
    for (const DialogControl& control : kDialogControls) {
        if (control.kind == ControlKind::Label && OnRow(control, field) && control.x < field.x &&
            (nearest == nullptr || control.x > nearest->x)) {
            nearest = &control;
        }
    }
    return nearest;
}

bool LabelsAField(const DialogControl& label) {
    for (const DialogControl& field : kDialogControls) {
        if (IsField(field) && RowLabel(field) == &label) {
            return true;
        }
    }
    return false;
}

// A heading names the first row of fields below it.
const DialogControl* Heading(const DialogControl& field) {
    for (const DialogControl& heading : kDialogControls) {
        if (heading.kind != ControlKind::Label || heading.y >= field.y || LabelsAField(heading)) {
            continue;
        }
        bool rowBetween = false;
        for (const DialogControl& other : kDialogControls) {
            rowBetween |=
                IsField(other) && other.y > heading.y && other.y < field.y && !OnRow(other, field);
        }
        if (!rowBetween) {
            return &heading;
        }
    }
    return nullptr;
}

} // namespace

std::vector<FieldName> FieldNames() {
    std::vector<FieldName> names;
    for (const DialogControl& field : kDialogControls) {
        if (!IsField(field)) {
            continue;
        }
        const DialogControl* label = RowLabel(field);
        const DialogControl* heading = Heading(field);
        names.push_back({field.id, heading != nullptr ? heading->text : "",
                         label != nullptr ? label->text : ""});
    }
    return names;
}

} // namespace arbolith
