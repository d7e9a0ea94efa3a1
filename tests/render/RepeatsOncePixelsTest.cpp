#include <gtest/gtest.h>

#include "render/RasterSurface.h"
#include "tree/BranchCount.h"
#include "tree/DrawingRun.h"
#include "tree/Random.h"

namespace arbolith {
namespace {

PixelImage Render(const TreeParameters& p, std::uint32_t second, GrowthPath path) {
    PixelImage image(560, 670, PixelOf({128, 128, 128}));
    RasterSurface surface(image);
    DrawTree(surface, {p, second, {}, path});
    return image;
}

// A random limb count is the same at every fork of one second: the first draw after seeding.
std::uint64_t LiteralBranches(TreeParameters p, std::uint32_t second) {
    if (p.limbsDegree == 0) {
        RandomGenerator random;
        random.Seed(second);
        p.limbsDegree = random.Draw() % 20;
        if (p.limbsDegree == 0) {
            return 1;
        }
    }
    return CountBranches(p, GrowthPath::Literal).branches;
}

struct Angles {
    int xy;
    int yz;
    int xz;
};

// Drawing each group of coinciding limbs once must leave exactly the pixels of drawing every
// polygon, over trees of every shape the grid can make.
TEST(RepeatsOncePixelsTest, MatchesTheLiteralPathPixelForPixel) {
    int compared = 0;
    for (int limbs = 0; limbs <= 6; ++limbs) {
        for (int levels = -1; levels <= 7; ++levels) {
            for (double scale : {0.0, 0.5, 1.0, -0.7}) {
                for (Angles angles : {Angles{40, 20, 30}, Angles{90, 1, 360}, Angles{7, -45, 0}}) {
                    TreeParameters p;
                    p.maxAngleXY = angles.xy;
                    p.maxAngleYZ = angles.yz;
                    p.maxAngleXZ = angles.xz;
                    p.scaleFactor = scale;
                    p.limbsDegree = limbs;
                    p.referencePoint = {280, 560, 0};
                    p.firstVector = {0, -110, 0};
                    p.levels = levels;
                    for (std::uint32_t second : {1796000000u, 1796000077u}) {
                        // Keep the literal trees within a second or so of drawing each.
                        if (LiteralBranches(p, second) > 400'000) {
                            continue;
                        }
                        ASSERT_EQ(Render(p, second, GrowthPath::RepeatsOnce),
                                  Render(p, second, GrowthPath::Literal))
                            << "limbs " << limbs << " levels " << levels << " scale " << scale
                            << " angles " << angles.xy << "/" << angles.yz << "/" << angles.xz
                            << " second " << second;
                        ++compared;
                    }
                }
            }
        }
    }
    EXPECT_EQ(compared, 1380);
}

} // namespace
} // namespace arbolith
