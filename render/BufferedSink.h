#pragma once

#include <cstddef>
#include <cstring>
#include <vector>

#include "render/ByteSink.h"

namespace arbolith {

// Gathers small writes into large ones for a sink. Once the sink has given up, everything else
// is dropped and Failed() says so.
class BufferedSink {
public:
    explicit BufferedSink(const ByteSink& sink, std::size_t capacity = std::size_t{1} << 16)
        : sink_(sink), capacity_(capacity) {
        buffer_.reserve(capacity);
    }

    void Put(const void* data, std::size_t size) {
        if (buffer_.size() + size > capacity_ && !Flush()) {
            return;
        }
        if (size > capacity_) {
            failed_ = failed_ || !sink_(data, size);
            return;
        }
        const auto* bytes = static_cast<const char*>(data);
        buffer_.insert(buffer_.end(), bytes, bytes + size);
    }

    // Hands on what is gathered; false once the sink has given up.
    bool Flush() {
        if (!failed_ && !buffer_.empty()) {
            failed_ = !sink_(buffer_.data(), buffer_.size());
        }
        buffer_.clear();
        return !failed_;
    }

    bool Failed() const { return failed_; }

private:
    const ByteSink& sink_;
    std::size_t capacity_;
    std::vector<char> buffer_;
    bool failed_ = false;
};

} // namespace arbolith
