#include "tree/Clock.h"

#include <chrono>

namespace arbolith {

std::uint32_t SystemClockSeconds() {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    const auto seconds = std::chrono::floor<std::chrono::seconds>(since).count();
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(seconds));
}

} // namespace arbolith
