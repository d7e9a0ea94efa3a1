#include "values/KeyTable.h"

#include <algorithm>
#include <array>
#include <limits>

#include "numbers/DecimalText.h"
#include "tree/ExampleTree.h"
#include "values/ValueText.h"

namespace arbolith {

namespace {

constexpr std::string_view kDegrees = "whole degrees within 32 bits, such as 40";
constexpr std::string_view kTriple = "three whole numbers X,Y,Z within 32 bits, such as 280,640,0";

// Stores a value that was read, or gives false.
template <typename Field, typename Value>
bool Store(const std::optional<Value>& value, Field& field) {
    if (!value) {
        return false;
    }
    field = static_cast<Field>(*value);
    return true;
}

std::string TripleText(const IntTriple& t) {
    return std::to_string(t.x) + ',' + std::to_string(t.y) + ',' + std::to_string(t.z);
}

// YAW,PITCH in whole degrees, each within its range.
std::optional<ViewAngles> ReadView(std::string_view text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) {
        return std::nullopt;
    }
    const auto yaw = ReadInt32(text.substr(0, comma));
    const auto pitch = ReadInt32(text.substr(comma + 1));
    if (!yaw || !pitch || *yaw < -kLargestYaw || *yaw > kLargestYaw || *pitch < -kLargestPitch ||
        *pitch > kLargestPitch) {
        return std::nullopt;
    }
    return ViewAngles{*yaw, *pitch};
}

// A 32-bit whole number of the parameters: a bound, the limbs, the levels.
template <std::int32_t TreeParameters::*field>
constexpr TreeKey WholeNumber(std::string_view name, std::string_view valueName,
                              std::string_view help, std::string_view expected) {
    return {name,
            valueName,
            help,
            expected,
            [](std::string_view text, TreeOrder& order) {
                return Store(ReadInt32(text), order.parameters.*field);
            },
            [](const TreeOrder& order) {
                return std::to_string(order.parameters.*field);
            }};
}

template <IntTriple TreeParameters::*field>
constexpr TreeKey Triple(std::string_view name, std::string_view help) {
    return {name,
            "X,Y,Z",
            help,
            kTriple,
            [](std::string_view text, TreeOrder& order) {
                return Store(ReadTriple(text), order.parameters.*field);
            },
            [](const TreeOrder& order) {
                return TripleText(order.parameters.*field);
            }};
}

constexpr std::array kKeys{
    WholeNumber<&TreeParameters::maxAngleXY>("max-xy", "DEGREES",
                                             "maximal turn of a limb in the XY plane", kDegrees),
    WholeNumber<&TreeParameters::maxAngleYZ>("max-yz", "DEGREES",
                                             "maximal turn of a limb in the YZ plane", kDegrees),
    WholeNumber<&TreeParameters::maxAngleXZ>("max-xz", "DEGREES",
                                             "maximal turn of a limb in the XZ plane", kDegrees),
    TreeKey{"scale", "FACTOR",
            "length of each limb relative to its parent; 0 draws a random factor from 0 to 0.8 "
            "for every limb",
            "a finite decimal number, such as 0.75",
            [](std::string_view text, TreeOrder& order) {
                return Store(ReadFiniteDouble(text), order.parameters.scaleFactor);
            },
            [](const TreeOrder& order) {
                return ShortestText(order.parameters.scaleFactor);
            }},
    WholeNumber<&TreeParameters::limbsDegree>(
        "limbs", "N", "limbs per fork; 0 draws a random count from 0 to 19 at every fork",
        "a whole number within 32 bits, such as 3"),
    Triple<&TreeParameters::referencePoint>(
        "reference",
        "foot of the trunk: canvas pixels from the top left, and a depth that only sets the "
        "width"),
    Triple<&TreeParameters::firstVector>("vector",
                                         "the trunk, from its foot to its top (y grows downward)"),
    WholeNumber<&TreeParameters::levels>("levels", "N",
                                         "generations of limbs above the trunk, less one",
                                         "a whole number within 32 bits, such as 7"),
    TreeKey{
        kViewKey, "YAW,PITCH",
        "draw the tree seen from another side, in whole degrees: turned YAW (-180 to 180) "
        "about the vertical axis through the trunk's foot, positive bringing its front to "
        "the right, then tilted PITCH (-90 to 90), positive bringing its top toward the "
        "viewer. The desktop program's status line gives the angles of its view",
        "two whole numbers of degrees YAW,PITCH, yaw from -180 to 180 and pitch from -90 to "
        "90, such as 30,-15",
        [](std::string_view text, TreeOrder& order) { return Store(ReadView(text), order.view); },
        [](const TreeOrder& order) {
            return std::to_string(order.view.yaw) + ',' + std::to_string(order.view.pitch);
        }},
    TreeKey{kTimeKey, "SECONDS",
            "the clock second (since 1970-01-01 UTC) that seeds the generator at every fork. "
            "Default: now, read once at the start and held for the whole run, so the picture is "
            "exactly the tree of the second printed on standard error even if drawing crosses "
            "into the next",
            "whole seconds from 0 to 4294967295",
            [](std::string_view text, TreeOrder& order) {
                return Store(ReadUnsigned(text, 0, std::numeric_limits<std::uint32_t>::max()),
                             order.second);
            },
            [](const TreeOrder& order) {
                return std::to_string(order.second);
            }},
};

} // namespace

std::span<const TreeKey> TreeKeys() {
    return kKeys;
}

const TreeKey* FindTreeKey(std::string_view name) {
    const auto found = std::find_if(kKeys.begin(), kKeys.end(),
                                    [name](const TreeKey& key) { return key.name == name; });
    return found == kKeys.end() ? nullptr : &*found;
}

std::vector<KeyValue> KeyValues(const TreeOrder& order, const TreeOrder* unlike) {
    std::vector<KeyValue> values;
    for (const TreeKey& key : kKeys) {
        std::string text = key.write(order);
        if (unlike == nullptr || text != key.write(*unlike)) {
            values.emplace_back(key.name, std::move(text));
        }
    }
    return values;
}

std::string RenderCommand(const TreeOrder& order) {
    const TreeOrder defaults{kExampleTree};
    std::string command = "arbolith-render --time " + std::to_string(order.second);
    for (const auto& [name, text] : KeyValues(order, &defaults)) {
        if (name != kTimeKey) {
            command += " --" + std::string(name) + ' ' + text;
        }
    }
    return command;
}

} // namespace arbolith
