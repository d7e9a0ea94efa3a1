#include "render/ByteSink.h"

#include <charconv>

namespace arbolith {

void ChunkedSink::PutNumber(std::int64_t value) {
    constexpr std::size_t kLongest = 20; // a sign and 19 digits
    if (used_ + kLongest > kChunk) {
        Flush();
    }
    char* start = buffer_.get() + used_;
    used_ += static_cast<std::size_t>(std::to_chars(start, start + kLongest, value).ptr - start);
}

} // namespace arbolith
