#include "render/Deflate.h"

#include <utility>

#include <libdeflate.h>

namespace arbolith {

ZlibCompressor::ZlibCompressor(int level) : compressor_(libdeflate_alloc_compressor(level)) {}

ZlibCompressor::~ZlibCompressor() {
    libdeflate_free_compressor(compressor_);
}

bool ZlibCompressor::Compress(const void* data, std::size_t size, std::vector<char>& out) {
    if (compressor_ == nullptr) {
        return false;
    }
    out.resize(libdeflate_zlib_compress_bound(compressor_, size));
    out.resize(libdeflate_zlib_compress(compressor_, data, size, out.data(), out.size()));
    return !out.empty();
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
    ZlibCompressor compressor(1);
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
        const bool handed =
            ok_ && compressor.Compress(piece.data(), piece.size(), compressed) && out_(compressed);
        const std::lock_guard guard(lock_);
        ok_ = ok_ && handed;
        spare_.push_back(std::move(piece));
    }
}

} // namespace arbolith
