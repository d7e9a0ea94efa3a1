#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "tree/ExampleTree.h"
#include "values/ShareLink.h"

namespace arbolith {
namespace {

using namespace std::string_literals;

const std::string kKnownKeys =
    "expected one of max-xy, max-yz, max-xz, scale, limbs, reference, vector, levels, view, time";
const std::string kWholeNumber = "expected a whole number within 32 bits, such as 7";

// The example tree, changed as the link should change it.
TreeOrder Example(const std::function<void(TreeOrder&)>& change = [](TreeOrder&) {}) {
    TreeOrder order{kExampleTree};
    change(order);
    return order;
}

// A link is text from anyone: each pair is read on its own, its escapes decoded, and whatever is
// wrong in one is named while the others still apply.
TEST(ShareLinkTest, ReadsEachPairAndNamesEveryBadOne) {
    const std::string huge(100000, '9');
    const struct {
        std::string fragment;
        TreeOrder order;
        bool hasSecond;
        std::vector<std::string> errors;
    } cases[] = {
        {"", Example(), false, {}},
        {"&&", Example(), false, {}},
        {"view=35,10&time=42",
         Example([](TreeOrder& o) {
             o.view = {35, 10};
             o.second = 42;
         }),
         true,
         {}},
        // Escapes in values and keys, either case of hex digit.
        {"levels=%35", Example([](TreeOrder& o) { o.parameters.levels = 5; }), false, {}},
        {"%6cevels=5&reference=1%2C2%2c3",
         Example([](TreeOrder& o) {
             o.parameters.levels = 5;
             o.parameters.referencePoint = {1, 2, 3};
         }),
         false,
         {}},
        // A '%' that starts no escape stays as it is.
        {"levels=%ZZ", Example(), false, {"invalid value \"%ZZ\" for levels: " + kWholeNumber}},
        {"levels=5%", Example(), false, {"invalid value \"5%\" for levels: " + kWholeNumber}},
        {"levels=5%3", Example(), false, {"invalid value \"5%3\" for levels: " + kWholeNumber}},
        {"levels=5%00", Example(), false, {"invalid value \"5\0\" for levels: "s + kWholeNumber}},
        // Bytes as they are, valid UTF-8 or not.
        {"levels=%E2%80%94",
         Example(),
         false,
         {"invalid value \"\xE2\x80\x94\" for levels: " + kWholeNumber}},
        {"%C3%A9=1", Example(), false, {"unknown key \"\xC3\xA9\": " + kKnownKeys}},
        {"levels=%FF%C3",
         Example(),
         false,
         {"invalid value \"\xFF\xC3\" for levels: " + kWholeNumber}},
        // '+' is a plus sign, not a space: a sign where a number takes one.
        {"levels=+5", Example([](TreeOrder& o) { o.parameters.levels = 5; }), false, {}},
        {"time=+5",
         Example(),
         false,
         {"invalid value \"+5\" for time: expected whole seconds from 0 to 4294967295"}},
        {"levels=5+2", Example(), false, {"invalid value \"5+2\" for levels: " + kWholeNumber}},
        // No '=' is an empty value; an empty key is unknown; the first '=' splits.
        {"levels", Example(), false, {"invalid value \"\" for levels: " + kWholeNumber}},
        {"time=",
         Example(),
         false,
         {"invalid value \"\" for time: expected whole seconds from 0 to 4294967295"}},
        {"=7", Example(), false, {"unknown key \"\": " + kKnownKeys}},
        {"levels=5=6", Example(), false, {"invalid value \"5=6\" for levels: " + kWholeNumber}},
        {"levels=" + huge,
         Example(),
         false,
         {"invalid value \"" + huge.substr(0, 64) +
          "...\" (100,000 characters) for levels: " + kWholeNumber}},
        // A key given again: its last acceptable value.
        {"levels=3&levels=4", Example([](TreeOrder& o) { o.parameters.levels = 4; }), false, {}},
        {"levels=3&levels=x",
         Example([](TreeOrder& o) { o.parameters.levels = 3; }),
         false,
         {"invalid value \"x\" for levels: " + kWholeNumber}},
        {"levels=abc&limbs=2&view=999,0&bogus=1&time=8",
         Example([](TreeOrder& o) {
             o.parameters.limbsDegree = 2;
             o.second = 8;
         }),
         true,
         {"invalid value \"abc\" for levels: " + kWholeNumber,
          "invalid value \"999,0\" for view: expected two whole numbers of degrees YAW,PITCH, "
          "yaw from -180 to 180 and pitch from -90 to 90, such as 30,-15",
          "unknown key \"bogus\": " + kKnownKeys}},
    };
    for (const auto& c : cases) {
        const LinkReading link = ReadLink(c.fragment);
        const std::string shown = c.fragment.substr(0, 80);
        EXPECT_EQ(link.order.parameters, c.order.parameters) << shown;
        EXPECT_EQ(link.order.view, c.order.view) << shown;
        EXPECT_EQ(link.hasSecond, c.hasSecond) << shown;
        if (c.hasSecond) {
            EXPECT_EQ(link.order.second, c.order.second) << shown;
        }
        EXPECT_EQ(link.errors, c.errors) << shown;
    }
}

// The page's link is the whole tree: read back, it is the same tree, seen from the same side.
TEST(ShareLinkTest, ALinkReadsBackAsItsTree) {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    TreeOrder extreme{{kMin, 0, -1, 0.1 + 0.2, 19, {-5000, 99999, 7}, {0, 0, 0}, 0},
                      std::numeric_limits<std::uint32_t>::max()};
    extreme.view = {-180, 90};
    EXPECT_EQ(LinkOf(TreeOrder{kExampleTree, 5}),
              "max-xy=25&max-yz=40&max-xz=40&scale=0.78&limbs=3&reference=230,650,-60&"
              "vector=-40,-150,0&levels=7&view=0,0&time=5");
    for (const TreeOrder& order : {TreeOrder{kExampleTree, 5}, extreme}) {
        const LinkReading link = ReadLink(LinkOf(order));
        EXPECT_TRUE(link.errors.empty()) << LinkOf(order);
        EXPECT_TRUE(link.hasSecond);
        EXPECT_EQ(link.order.parameters, order.parameters);
        EXPECT_EQ(link.order.second, order.second);
        EXPECT_EQ(link.order.view, order.view);
    }
}

} // namespace
} // namespace arbolith
