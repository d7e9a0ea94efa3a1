#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace arbolith {

// Limbs are told apart by their thickness in bins of a sixteenth of an octave, from the thinnest
// radius up: a limb is never thicker than its parent, so a bound on the bin marks off every limb
// beyond a point of the tree, subtrees whole.
inline constexpr int kRadiusBins = 1024;
inline constexpr int kBinsPerOctave = 16;
// The bin of a radius in canvas pixels, computed exactly (no logarithm), so that every platform
// puts a limb in the same bin.
int RadiusBin(double radius);

// How much of the tree a mesh shows: the thinnest limbs get fewer sides, and the thinnest of all
// are dropped into their parents, each parent reaching as far as its first limb's line of first
// limbs did. The trunk always keeps its six sides.
struct MeshDetail {
    // Limbs whose base radius lies in a bin below these have four sides, three, or are dropped.
    int fourSidesBelow = 0;
    int threeSidesBelow = 0;
    int droppedBelow = 0;

    // The sides of a limb's solid, 0 for a limb dropped into its parent.
    int Sides(std::int64_t level, double baseRadius) const;
    // The sides of a limb, not the trunk, whose base radius lies in the bin.
    int SidesInBin(int bin) const;
    friend bool operator==(const MeshDetail&, const MeshDetail&) = default;
};

// A limb goes on from its parent's solid only if it turns by at most 60 degrees: a sharper turn
// would fold the shared tube into itself.
inline constexpr double kLeastCosineGoingOn = 0.5;

// A box round points in canvas pixels.
struct PointBox {
    std::array<double, 3> min{kEmpty, kEmpty, kEmpty};
    std::array<double, 3> max{-kEmpty, -kEmpty, -kEmpty};
    void Add(const std::array<double, 3>& point);
    void Add(const PointBox& box);

private:
    static constexpr double kEmpty = 1e308;
};

// What one growth tells of a tree before its mesh is made: the longest way along the limbs from
// the foot to a tip, and how many limbs there are of each thickness and how far they reach, for
// planning lesser details.
struct TreeSurvey {
    TreeSurvey();

    double longestReach = 0; // canvas pixels
    std::uint64_t branches = 0;
    // Bins a limb is thinner by from one level to the next (at least 1).
    int binsPerLevel = 1;
    // For each bin of base radius, the trunk left out: its limbs, and those of them that are first
    // limbs starting exactly as thick as their parents end (which may go on from their parents'
    // solids).
    std::vector<std::uint64_t> limbs;
    std::vector<std::uint64_t> continuing;
    // Boxes round the branches' ends by the thinnest bin a mesh must keep to show them: a
    // limb's end shows while the limb is kept and not lengthened, its first limb kept too, or,
    // at the end of a line of first limbs, while the line's top limb is kept and reaches on to
    // it. kRadiusBins for the ends every mesh shows.
    std::vector<PointBox> shown;

    // Takes the next limb in drawing order: its radius at its base (LimbRadii), its reach at its
    // end (LimbReach) and whether it may go on from its parent's solid, as above.
    void AddLimb(double baseRadius, double endReach, bool continues);
    // Takes the trunk.
    void AddTrunk(const std::array<double, 3>& base, double endReach);
    // Takes an end that a mesh shows while it keeps the limbs of bin `keptFrom` and thicker.
    void AddEnd(const std::array<double, 3>& end, int keptFrom);
};

// A lesser detail keeps the box round the ends of the limbs it keeps, and those their lines of
// dropped first limbs reach, within this share of the whole tree's largest extent of that box, on
// every side: its silhouette stays the tree's.
inline constexpr double kMostSilhouetteLoss = 0.05;

// About how many triangles a mesh of that detail takes.
double EstimatedTriangles(const TreeSurvey& survey, const MeshDetail& detail);

// The details of `count` levels of detail: the first the whole tree, each next about half the
// triangles of the one before, as far as the tree can be made lighter.
std::vector<MeshDetail> PlanDetails(const TreeSurvey& survey, int count);

} // namespace arbolith
