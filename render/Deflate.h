#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

struct libdeflate_compressor;

namespace arbolith {

// Compresses whole buffers, each into a zlib stream of its own (a header, the deflate data and a
// checksum).
class ZlibCompressor {
public:
    // Levels run from 1, the fastest, to 12, the smallest.
    explicit ZlibCompressor(int level);
    ~ZlibCompressor();
    ZlibCompressor(const ZlibCompressor&) = delete;
    ZlibCompressor& operator=(const ZlibCompressor&) = delete;

    // Puts the stream of `size` bytes into `out`; false if it could not be made.
    bool Compress(const void* data, std::size_t size, std::vector<char>& out);

private:
    libdeflate_compressor* compressor_;
};

// Compresses pieces of a long stream, each into a zlib stream of its own, on a thread of its
// own, so that compressing takes no time from making the pieces: at most a few are queued at a
// time, so memory stays flat. Each compressed piece reaches `out` on that thread, in the order
// the pieces came; once `out` refuses one, the rest are dropped.
class PieceCompressor {
public:
    using PieceSink = std::function<bool(const std::vector<char>& compressed)>;

    explicit PieceCompressor(PieceSink out);
    // Finishes if Finish was not called.
    ~PieceCompressor();
    PieceCompressor(const PieceCompressor&) = delete;
    PieceCompressor& operator=(const PieceCompressor&) = delete;

    // Takes the piece, leaving `piece` empty and ready to be filled again.
    void Add(std::vector<char>& piece);
    // Waits until every piece is compressed and handed on; false if `out` refused one.
    bool Finish();

private:
    static constexpr std::size_t kQueued = 4;

    void Work();

    PieceSink out_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<std::vector<char>> queue_;
    std::vector<std::vector<char>> spare_;
    bool ending_ = false;
    bool ok_ = true;
    std::thread worker_;
};

} // namespace arbolith
