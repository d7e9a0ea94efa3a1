#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <span>
#include <vector>

#include "render/SurfaceObjects.h"

namespace arbolith {

// A surface whose calls are written down as pairs of 32-bit words, for a surface that lives where
// no pointer reaches (another worker of a web page): played back there, a block of them makes the
// same calls in the same order. A pair is a SurfacePoint, so that corners are played where they
// lie. It answers for the pens and brushes itself. Branches gather into
// blocks of about `branchesABlock` before they are sent, so that sending costs little beside
// drawing them; any other call waits in the block being gathered.
class CallWriter final : public ObjectSurface {
public:
    using Send = std::function<void(std::span<const SurfacePoint> block)>;
    CallWriter(Send send, std::size_t branchesABlock);

    void FillRectWhite(const SurfaceRect& rect) override;
    SurfaceObject CreatePen(PenStyle style, int width, Rgb colour) override;
    SurfaceObject CreateSolidBrush(Rgb colour) override;
    void SetPolyFillMode(PolyFillMode mode) override;
    SurfaceObject SelectObject(SurfaceObject object) override;
    void Polygon(const SurfacePoint* points, int count) override;
    bool DeleteObject(SurfaceObject object) override;
    bool TakesBlocks() const override { return true; }
    void Quadrilaterals(const SurfacePoint* corners, std::size_t count) override;

    // Sends the calls gathered since the last block, if any.
    void Flush();
    std::uint64_t BlocksSent() const { return blocksSent_; }

private:
    void Write(std::initializer_list<std::int32_t> words);

    Send send_;
    std::size_t branchesABlock_;
    std::vector<SurfacePoint> block_;
    std::size_t branches_ = 0;
    std::uint64_t blocksSent_ = 0;
};

// Plays the blocks a CallWriter sends on another surface, block after block.
class CallPlayer {
public:
    explicit CallPlayer(DrawingSurface& target) : target_(target) {}

    // Plays the block's calls; false at the first pair that does not begin a call a CallWriter
    // writes, or at a call cut short, with the calls before it played.
    bool Play(std::span<const SurfacePoint> block);
    // Polygons drawn so far, quadrilaterals counted one by one.
    std::uint64_t Polygons() const { return polygons_; }

private:
    // The target's object for the writer's handle; 0, which no surface knows, for one never seen.
    SurfaceObject Target(std::int32_t handle) const;

    DrawingSurface& target_;
    std::map<std::int32_t, SurfaceObject> objects_;
    std::uint64_t polygons_ = 0;
};

} // namespace arbolith
