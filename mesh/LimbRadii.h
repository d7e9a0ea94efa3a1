#pragma once

#include <cstdint>
#include <vector>

#include "geometry/Vector.h"
#include "tree/TreePainter.h"
#include "tree/TreeParameters.h"

namespace arbolith {

// A limb's radius where it leaves its parent and at its end, in canvas pixels.
struct LimbRadius {
    double base = 0;
    double end = 0;
    friend bool operator==(const LimbRadius&, const LimbRadius&) = default;
};

// The trunk's radius at its foot is this share of its length.
inline constexpr double kTrunkRadiusPerLength = 1.0 / 12;
// A limb ends at most this share as thick as it starts, so that every level is thinner than the
// one below it, however long the tree's limbs grow.
inline constexpr double kMostTaper = 0.8;
// The tapering of a tree whose limbs draw random factors (0 to 0.8): that of the longer half, the
// limbs that shape it.
inline constexpr double kRandomFactorTaper = 0.6;
// No limb is thinner than this, a fifth of a millimetre in a model, so that every solid stays a
// solid a float can hold.
inline constexpr double kThinnestRadius = 0.02;

// How thick each limb of a tree is in 3-D: a property of the limb, not of where it is seen from.
// The trunk's radius at its foot is a share of its length; every limb tapers along its length by
// the tree's factor from one level to the next (at most kMostTaper), so in a tree of one factor a
// limb starts exactly as thick as its parent ends and its radius keeps to its length throughout.
// A limb shorter than that factor makes it starts thinner in proportion, as random factors do.
// Both the mesh and the 3-D view take their radii from here. Fed the branches in drawing order
// (depth first, as a growth hands them on, coinciding limbs left out or not), it keeps a record
// of each branch that may still get a limb: no more than the growth keeps forks.
class LimbRadii {
public:
    explicit LimbRadii(const TreeParameters& parameters);
    // The radii of the next branch, its vector as the growth hands it on.
    LimbRadius Next(const CVector& vector, const BranchPlace& place);
    // A limb's radius at its end over the one at its base, where nothing makes it thinner.
    double Taper() const { return taper_; }

private:
    struct Parent {
        std::int64_t level;
        double length;
        double end; // its radius at its end, before kThinnestRadius
    };

    // The tree's own factor, or 0 where each limb draws its own.
    double factor_;
    double taper_;
    std::vector<Parent> parents_;
};

} // namespace arbolith
