#pragma once

#include <cstddef>

namespace arbolith::testing {

// Bytes the test program holds through operator new, counted by its own replacement of it.
std::size_t LiveBytes();
// The most bytes held at once since the last ResetPeakBytes().
std::size_t PeakBytes();
void ResetPeakBytes();

} // namespace arbolith::testing
