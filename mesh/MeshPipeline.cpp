#include "mesh/MeshPipeline.h"

namespace arbolith {

void MeshPipeline::Block::Clear() {
    vertices.clear();
    triangles.clear();
    pieces.clear();
}

MeshPipeline::MeshPipeline(MeshOutput& target) : target_(target), worker_([this] { Work(); }) {}

MeshPipeline::~MeshPipeline() {
    {
        const std::lock_guard guard(lock_);
        ending_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void MeshPipeline::Work() {
    std::unique_lock guard(lock_);
    for (;;) {
        changed_.wait(guard, [this] { return !queue_.empty() || ending_; });
        if (queue_.empty()) {
            return;
        }
        Block block = std::move(queue_.front());
        queue_.pop_front();
        writing_ = true;
        guard.unlock();
        changed_.notify_all();
        const MeshVertex* vertex = block.vertices.data();
        const MeshTriangle* triangle = block.triangles.data();
        for (const PieceSize& piece : block.pieces) {
            if (piece.vertices == 0 && piece.triangles == 0) {
                target_.PrimitiveEnds();
                continue;
            }
            target_.Piece({vertex, piece.vertices}, {triangle, piece.triangles});
            vertex += piece.vertices;
            triangle += piece.triangles;
        }
        failed_.store(target_.Failed(), std::memory_order_relaxed);
        guard.lock();
        writing_ = false;
        block.Clear();
        spare_.push_back(std::move(block));
        changed_.notify_all();
    }
}

void MeshPipeline::Piece(std::span<const MeshVertex> newVertices,
                         std::span<const MeshTriangle> triangles) {
    if (newVertices.empty() && triangles.empty()) {
        return;
    }
    gathering_.vertices.insert(gathering_.vertices.end(), newVertices.begin(), newVertices.end());
    gathering_.triangles.insert(gathering_.triangles.end(), triangles.begin(), triangles.end());
    gathering_.pieces.push_back({static_cast<std::uint32_t>(newVertices.size()),
                                 static_cast<std::uint32_t>(triangles.size())});
    if (gathering_.pieces.size() >= kPiecesABlock) {
        Send();
    }
}

void MeshPipeline::PrimitiveEnds() {
    gathering_.pieces.push_back({0, 0});
}

void MeshPipeline::Send() {
    std::unique_lock guard(lock_);
    changed_.wait(guard, [this] { return queue_.size() < kQueued; });
    queue_.push_back(std::move(gathering_));
    gathering_ = Block{};
    if (!spare_.empty()) {
        gathering_ = std::move(spare_.back());
        spare_.pop_back();
    }
    guard.unlock();
    changed_.notify_all();
}

void MeshPipeline::Drain() {
    if (!gathering_.pieces.empty()) {
        Send();
    }
    std::unique_lock guard(lock_);
    changed_.wait(guard, [this] { return queue_.empty() && !writing_; });
}

} // namespace arbolith
