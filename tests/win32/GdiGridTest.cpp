#include <gtest/gtest.h>

#include "tests/render/GdiGrid.h"
#include "tests/win32/GdiGridPicture.h"

namespace arbolith::testing {
namespace {

// The Windows drawing system draws every picture of the grid as its committed digest says; the
// rasterizer's test holds it to the same digests.
TEST(GdiGridTest, DrawsEveryPictureOfTheGridAsRecorded) {
    const std::vector<GridCase> cases = GdiGridCases();
    const std::vector<std::uint64_t>& digests = GdiGridDigests();
    ASSERT_EQ(digests.size(), cases.size())
        << "the digests are out of date: remake them with arbolith_win32_helper grid-digests";
    int differing = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        if (GdiDigestOf(cases[i]) != digests[i]) {
            ADD_FAILURE() << cases[i].name << " differs from its recorded digest";
            ++differing;
        }
    }
    EXPECT_EQ(differing, 0);
}

} // namespace
} // namespace arbolith::testing
