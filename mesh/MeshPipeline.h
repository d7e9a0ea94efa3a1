#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "mesh/Mesher.h"

namespace arbolith {

// Hands the pieces of a mesh to another output on a thread of its own: they gather in blocks,
// which wait in a short queue for that thread, so that making the mesh and writing it use two
// cores. The other output gets every piece and every primitive's end in the order they were made.
// At most a few blocks wait at a time, so memory stays flat.
class MeshPipeline final : public MeshOutput {
public:
    explicit MeshPipeline(MeshOutput& target);
    // Waits until every block is written.
    ~MeshPipeline() override;
    MeshPipeline(const MeshPipeline&) = delete;
    MeshPipeline& operator=(const MeshPipeline&) = delete;

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
        void Clear();
    };
    static constexpr std::size_t kPiecesABlock = 256;
    static constexpr std::size_t kQueued = 4;

    void Work();
    void Send();

    MeshOutput& target_;
    std::atomic<bool> failed_{false};
    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<Block> queue_;
    std::vector<Block> spare_;
    // The block being gathered, on the making thread only.
    Block gathering_;
    bool writing_ = false;
    bool ending_ = false;
    std::thread worker_;
};

// Below this many branches a mesh is made and written sooner on one thread than the queue lets it
// on two.
inline constexpr std::uint64_t kMeshPipelineFrom = 30000;

} // namespace arbolith
