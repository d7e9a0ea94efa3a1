#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>

namespace arbolith {

// Takes encoded bytes as they are made; returns false to give up.
using ByteSink = std::function<bool(const void* data, std::size_t size)>;

// Gathers small pieces of text or data and hands them on in large chunks, so that a writer
// of millions of small elements makes few calls and holds a fixed amount of memory. Once the
// sink has given up, nothing more is handed on.
class ChunkedSink {
public:
    static constexpr std::size_t kChunk = 1 << 18;

    explicit ChunkedSink(const ByteSink& sink) : sink_(sink), buffer_(new char[kChunk]) {}
    ChunkedSink(const ChunkedSink&) = delete;
    ChunkedSink& operator=(const ChunkedSink&) = delete;

    void Put(const char* data, std::size_t size) {
        if (used_ + size > kChunk) {
            Flush();
            if (size > kChunk) {
                Hand(data, size);
                return;
            }
        }
        std::memcpy(buffer_.get() + used_, data, size);
        used_ += size;
    }
    void Put(const void* data, std::size_t size) { Put(static_cast<const char*>(data), size); }
    void Put(char c) {
        if (used_ == kChunk) {
            Flush();
        }
        buffer_[used_++] = c;
    }
    template <std::size_t N> void Put(const char (&text)[N]) { Put(text, N - 1); }
    void PutNumber(std::int64_t value);

    // Hands on what is gathered; false once the sink has given up.
    bool Flush() {
        Hand(buffer_.get(), used_);
        used_ = 0;
        return !failed_;
    }
    bool Failed() const { return failed_; }
    // Bytes put so far, handed on or not.
    std::uint64_t Written() const { return handed_ + used_; }

private:
    void Hand(const char* data, std::size_t size) {
        if (!failed_ && size > 0 && !sink_(data, size)) {
            failed_ = true;
        }
        handed_ += size;
    }

    const ByteSink& sink_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    std::uint64_t handed_ = 0;
    bool failed_ = false;
};

} // namespace arbolith
