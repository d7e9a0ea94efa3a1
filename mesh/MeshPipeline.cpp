#include "mesh/MeshPipeline.h"

namespace arbolith {

void MeshPipeline::Block::clear() {
    vertices.clear();
    triangles.clear();
    pieces.clear();
}

MeshPipeline::MeshPipeline(MeshOutput& target)
    : target_(target), queue_([this](Block& block) { Write(block); }) {}

void MeshPipeline::Write(const Block& block) {
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
        gathering_ = queue_.Send(std::move(gathering_));
    }
}

void MeshPipeline::PrimitiveEnds() {
    gathering_.pieces.push_back({0, 0});
}

void MeshPipeline::Drain() {
    if (!gathering_.pieces.empty()) {
        gathering_ = queue_.Send(std::move(gathering_));
    }
    queue_.Drain();
}

} // namespace arbolith
