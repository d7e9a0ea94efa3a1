#pragma once

#include <string>
#include <vector>

namespace arbolith {

// What a person reads for each of the dialog's twelve fields, found in the control table by
// place: the label on the field's row, and for the coordinates of a point the heading above
// that row ("Reference point:" over "X:").
struct FieldName {
    int id;
    std::string heading; // empty where the row label says it all
    std::string label;
};

// Every input field in template order, which is also the dialog's tab order.
std::vector<FieldName> FieldNames();

} // namespace arbolith
