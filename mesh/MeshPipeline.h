#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "mesh/Mesher.h"
#include "render/BlockQueue.h"

namespace arbolith {

// Hands the pieces of a mesh to another output on a thread of its own (BlockQueue): they gather
// in blocks, so that making the mesh and writing it use two cores. The other output gets every
// piece and every primitive's end in the order they were made.
class MeshPipeline final : public MeshOutput {
public:
    explicit MeshPipeline(MeshOutput& target);

    void Piece(std::span<const MeshVertex> newVertices,
               std::span<const MeshTriangle> triangles) override;
    void PrimitiveEnds() override;
    // The other output's, as of the last block it took.
    bool Failed() const override { return failed_.load(std::memory_order_relaxed); }

    // Waits until every piece handed over is written.
    void Drain();

private:
    // A piece's counts, or a primitive's end where both are zero.
    struct PieceSize {
        std::uint32_t vertices;
        std::uint32_t triangles;
    };
    struct Block {
        std::vector<MeshVertex> vertices;
        std::vector<MeshTriangle> triangles;
        std::vector<PieceSize> pieces;
        void clear();
    };
    // Few enough that the blocks waiting take well under a megabyte.
    static constexpr std::size_t kPiecesABlock = 256;

    void Write(const Block& block);

    MeshOutput& target_;
    std::atomic<bool> failed_{false};
    // The block being gathered, on the making thread only.
    Block gathering_;
    BlockQueue<Block> queue_;
};

} // namespace arbolith
