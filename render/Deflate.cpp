#include "render/Deflate.h"

#include <algorithm>
#include <utility>

#include <libdeflate.h>

namespace arbolith {

namespace {
constexpr std::size_t kPiece = 1 << 16;
} // namespace

DeflateStream::DeflateStream(int level, int strategy, ByteSink out)
    : out_(std::move(out)), buffer_(kPiece) {
    ok_ = deflateInit2(&stream_, level, Z_DEFLATED, 15, 8, strategy) == Z_OK;
}

DeflateStream::~DeflateStream() {
    deflateEnd(&stream_);
}

bool DeflateStream::Deflate(const void* data, std::size_t size, int flush) {
    if (!ok_) {
        return false;
    }
    // zlib counts in 32 bits: feed a larger piece in parts.
    const auto* input = static_cast<const unsigned char*>(data);
    do {
        const std::size_t part = std::min<std::size_t>(size, 1u << 30);
        stream_.next_in = const_cast<Bytef*>(input);
        stream_.avail_in = static_cast<uInt>(part);
        const int mode = part == size ? flush : Z_NO_FLUSH;
        int status = Z_OK;
        do {
            stream_.next_out = buffer_.data();
            stream_.avail_out = static_cast<uInt>(buffer_.size());
            status = deflate(&stream_, mode);
            if (status == Z_STREAM_ERROR) {
                return ok_ = false;
            }
            const std::size_t made = buffer_.size() - stream_.avail_out;
            if (made > 0 && !out_(buffer_.data(), made)) {
                return ok_ = false;
            }
        } while (stream_.avail_out == 0 || (mode == Z_FINISH && status != Z_STREAM_END));
        input += part;
        size -= part;
    } while (size > 0);
    return true;
}

PieceCompressor::PieceCompressor(PieceSink out)
    : out_(std::move(out)), worker_([this] { Work(); }) {}

PieceCompressor::~PieceCompressor() {
    Finish();
}

void PieceCompressor::Add(std::vector<char>& piece) {
    std::unique_lock guard(lock_);
    changed_.wait(guard, [this] { return queue_.size() < kQueued; });
    queue_.push_back(std::move(piece));
    piece.clear();
    if (!spare_.empty()) {
        piece = std::move(spare_.back());
        spare_.pop_back();
        piece.clear();
    }
    changed_.notify_all();
}

bool PieceCompressor::Finish() {
    {
        const std::lock_guard guard(lock_);
        ending_ = true;
        changed_.notify_all();
    }
    if (worker_.joinable()) {
        worker_.join();
    }
    return ok_;
}

void PieceCompressor::Work() {
    // The fastest level: a tree's page is long, and its text compresses well even so.
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(1);
    std::vector<char> compressed;
    for (;;) {
        std::vector<char> piece;
        {
            std::unique_lock guard(lock_);
            changed_.wait(guard, [this] { return !queue_.empty() || ending_; });
            if (queue_.empty()) {
                break;
            }
            piece = std::move(queue_.front());
            queue_.pop_front();
            changed_.notify_all();
        }
        bool handed = false;
        if (compressor != nullptr && ok_) {
            compressed.resize(libdeflate_zlib_compress_bound(compressor, piece.size()));
            const std::size_t size = libdeflate_zlib_compress(
                compressor, piece.data(), piece.size(), compressed.data(), compressed.size());
            compressed.resize(size);
            handed = size > 0 && out_(compressed);
        }
        const std::lock_guard guard(lock_);
        ok_ = ok_ && handed;
        spare_.push_back(std::move(piece));
    }
    if (compressor == nullptr) {
        ok_ = false;
    }
    libdeflate_free_compressor(compressor);
}

} // namespace arbolith
