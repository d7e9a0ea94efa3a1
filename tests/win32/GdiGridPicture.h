#pragma once

#include <cstdint>

#include "tests/render/GdiGrid.h"

namespace arbolith::testing {

// Draws the grid case through the Windows program's own surface on a memory bitmap of the
// case's size, and gives the picture's digest.
std::uint64_t GdiDigestOf(const GridCase& gridCase);

} // namespace arbolith::testing
