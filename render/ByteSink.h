#pragma once

#include <cstddef>
#include <functional>

namespace arbolith {

// Takes encoded bytes as they are made; returns false to give up.
using ByteSink = std::function<bool(const void* data, std::size_t size)>;

} // namespace arbolith
