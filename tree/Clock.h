#pragma once

#include <cstdint>
#include <functional>

namespace arbolith {

// Calendar seconds since 1970-01-01 00:00:00 UTC, taken as 32 bits: what seeds the generator at
// every fork.
std::uint32_t SystemClockSeconds();

// A clock a run reads at every fork, giving seconds as SystemClockSeconds does.
using ClockReading = std::function<std::uint32_t()>;

} // namespace arbolith
