#pragma once

#include <cstdint>
#include <vector>

#include "surface/DrawingSurface.h"
#include "tree/BranchWidth.h"
#include "tree/TreeParameters.h"
#include "tree/Trigonometry.h"
#include "tree/Turns.h"

namespace arbolith {

// A tree grown the plainest way, as a floor for the painter: the same draws, the same three full
// matrix products and the same corners, for the literal path within one clock second, but plain
// recursion, a cosine table made beforehand and no bookkeeping at all. The sink gets each
// polygon's four corners.
template <typename Sink> class PlainGrowth {
public:
    PlainGrowth(const TreeParameters& p, std::uint32_t second, Sink& sink)
        : p_(p), second_(second), sink_(sink), turns_(Bound(p)) {
        for (std::size_t degrees = 0; degrees < turns_.size(); ++degrees) {
            turns_[degrees] = CosSinRounded(DegreesToRadians(static_cast<std::int32_t>(degrees)));
        }
    }

    void Draw() {
        const Vec base{double(p_.referencePoint.x), double(p_.referencePoint.y),
                       double(p_.referencePoint.z)};
        const Vec trunk{double(p_.firstVector.x), double(p_.firstVector.y),
                        double(p_.firstVector.z)};
        Branch(base, trunk);
        Grow({base.x + trunk.x, base.y + trunk.y, base.z + trunk.z}, trunk, 0);
    }

private:
    struct Vec {
        double x, y, z;
    };

    static std::size_t Bound(const TreeParameters& p) {
        const auto magnitude = [](std::int32_t b) {
            return std::size_t(b < 0 ? -std::int64_t{b} : b);
        };
        std::size_t most = 1;
        for (const std::int32_t b : {p.maxAngleXY, p.maxAngleXZ, p.maxAngleYZ}) {
            most = std::max(most, magnitude(b));
        }
        return most;
    }

    int Draw16() {
        state_ = state_ * 214013u + 2531011u;
        return int((state_ >> 16) & 0x7FFF);
    }

    CosSin Turn(int draw, std::int32_t bound) { return turns_[bound == 0 ? 0 : draw % bound]; }

    void Branch(const Vec& b, const Vec& v) {
        const Vec e{b.x + v.x, b.y + v.y, b.z + v.z};
        const double wb = BranchHalfWidth(b.z);
        const double we = BranchHalfWidth(e.z);
        const SurfacePoint corners[4] = {
            {static_cast<std::int32_t>(b.x - wb), static_cast<std::int32_t>(b.y)},
            {static_cast<std::int32_t>(b.x + wb), static_cast<std::int32_t>(b.y)},
            {static_cast<std::int32_t>(e.x + we), static_cast<std::int32_t>(e.y)},
            {static_cast<std::int32_t>(e.x - we), static_cast<std::int32_t>(e.y)}};
        sink_(corners);
    }

    void Grow(const Vec& base, const Vec& parent, std::int32_t level) {
        if (level > p_.levels) {
            return;
        }
        state_ = second_;
        for (std::int32_t limb = 0; limb < p_.limbsDegree; ++limb) {
            const CosSin xy = Turn(Draw16(), p_.maxAngleXY);
            Draw16();
            const CosSin xz = Turn(Draw16(), p_.maxAngleXZ);
            Draw16();
            const CosSin yz = Turn(Draw16(), p_.maxAngleYZ);
            Vec v = parent;
            v = {xy.cos * v.x + -xy.sin * v.y + 0.0 * v.z, xy.sin * v.x + xy.cos * v.y + 0.0 * v.z,
                 0.0 * v.x + 0.0 * v.y + 1.0 * v.z};
            v = {xz.cos * v.x + 0.0 * v.y + -xz.sin * v.z, 0.0 * v.x + 1.0 * v.y + 0.0 * v.z,
                 xz.sin * v.x + 0.0 * v.y + xz.cos * v.z};
            v = {1.0 * v.x + 0.0 * v.y + 0.0 * v.z, 0.0 * v.x + yz.cos * v.y + -yz.sin * v.z,
                 0.0 * v.x + yz.sin * v.y + yz.cos * v.z};
            const double f = p_.scaleFactor;
            v = {f * v.x, f * v.y, f * v.z};
            Branch(base, v);
            Grow({base.x + v.x, base.y + v.y, base.z + v.z}, v, level + 1);
        }
    }

    TreeParameters p_;
    std::uint32_t second_;
    std::uint32_t state_ = 0;
    Sink& sink_;
    std::vector<CosSin> turns_;
};

} // namespace arbolith
