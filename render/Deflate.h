#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include <zlib.h>

#include "render/ByteSink.h"

namespace arbolith {

// Compresses what it is given into the zlib format and hands the compressed bytes on as they
// come, in pieces of at most 64 KiB. Once something fails, it stays failed.
class DeflateStream {
public:
    DeflateStream(int level, int strategy, ByteSink out);
    ~DeflateStream();
    DeflateStream(const DeflateStream&) = delete;
    DeflateStream& operator=(const DeflateStream&) = delete;

    bool Add(const void* data, std::size_t size) { return Deflate(data, size, Z_NO_FLUSH); }
    bool Finish() { return Deflate(nullptr, 0, Z_FINISH); }

private:
    bool Deflate(const void* data, std::size_t size, int flush);

    ByteSink out_;
    z_stream stream_{};
    std::vector<unsigned char> buffer_;
    bool ok_ = false;
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
