#include <gtest/gtest.h>

#include <limits>

#include "tree/ExampleTree.h"
#include "values/KeyTable.h"

namespace arbolith {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// Every value, written by its key and read back, is the same value: what a command line, a
// parameter file or a share link says of a tree is exactly that tree.
TEST(TreeKeysTest, EveryValueReadsBackAsItWasWritten) {
    TreeOrder extreme{{kMin, kMax, -1, 5e-324, kMin, {kMax, kMin, 0}, {-1, 0, kMax}, kMax},
                      std::numeric_limits<std::uint32_t>::max()};
    extreme.view = {-180, 90};
    TreeOrder awkward{kExampleTree, 0};
    awkward.parameters.scaleFactor = 0.1 + 0.2;
    awkward.view = {180, -90};
    for (const TreeOrder& order : {TreeOrder{kExampleTree, 1000000006}, extreme, awkward}) {
        TreeOrder read;
        for (const auto& [name, text] : KeyValues(order)) {
            const TreeKey* key = FindTreeKey(name);
            ASSERT_NE(key, nullptr) << name;
            ASSERT_TRUE(key->read(text, read)) << name << " " << text;
        }
        EXPECT_EQ(read.parameters, order.parameters);
        EXPECT_EQ(read.second, order.second);
        EXPECT_EQ(read.view, order.view);
    }
}

TEST(TreeKeysTest, RefusesWhatIsNotAValueAndLeavesTheOrderAlone) {
    const std::pair<const char*, const char*> bad[] = {
        {"max-xy", "40.5"}, {"max-yz", "2147483648"}, {"scale", "inf"},     {"scale", "0x1p3"},
        {"limbs", " 3"},    {"reference", "1,2"},     {"vector", "1,2,3,"}, {"levels", ""},
        {"view", "181,0"},  {"view", "0,-91"},        {"time", "-1"},       {"time", "4294967296"},
    };
    for (const auto& [name, text] : bad) {
        TreeOrder order{kExampleTree, 7};
        ASSERT_FALSE(FindTreeKey(name)->read(text, order)) << name << " " << text;
        EXPECT_EQ(order.parameters, kExampleTree);
        EXPECT_EQ(order.second, 7u);
        EXPECT_TRUE(order.view.IsFront());
    }
    EXPECT_EQ(FindTreeKey("max-ab"), nullptr);
}

TEST(TreeKeysTest, ListsOnlyTheValuesThatDifferFromOthers) {
    const TreeOrder defaults{kExampleTree, 0};
    TreeOrder changed = defaults;
    changed.parameters.limbsDegree = 0;
    changed.view = {35, 10};
    changed.second = 1000000006;
    EXPECT_EQ(KeyValues(changed, &defaults),
              (std::vector<KeyValue>{{"limbs", "0"}, {"view", "35,10"}, {"time", "1000000006"}}));
    EXPECT_TRUE(KeyValues(defaults, &defaults).empty());
}

} // namespace
} // namespace arbolith
