#pragma once

#include <cstdint>
#include <string>

namespace arbolith::cli {

// The output name of tree `number` (1 to `count`) drawn for `second`: {n} becomes the number,
// padded with zeros to the width of `count` so that names sort in order, {time} the second.
std::string OutputName(const std::string& pattern, int number, int count, std::uint32_t second);

} // namespace arbolith::cli
