#include "scene/Shaders.h"

#include <cmath>
#include <string>

namespace arbolith {

namespace {

std::string Header(GlslDialect dialect) {
    return dialect == GlslDialect::Core330 ? "#version 330 core\n"
                                           : "#version 300 es\nprecision highp float;\n";
}

// Each vertex fetches its branch's record from the texture by its own number: an instanced draw
// costs software renderers about a microsecond an instance, more than a twig's whole ribbon. The
// ring's frame comes from the axis alone, as the mesh's does, so the same record gives the same
// corners.
constexpr const char* kVertexBody = R"(
uniform highp sampler2D records;
uniform int first;
uniform bool ribbons;
uniform mat4 viewMatrix;
uniform mat4 projectionMatrix;
uniform vec3 eye;
out vec3 shadedNormal;
void main() {
    int perBranch = ribbons ? RIBBON_VERTICES : PRISM_VERTICES;
    int branch = gl_VertexID / perBranch;
    int k = gl_VertexID - branch * perBranch;
    vec3 corner = ribbons ? ribbonCorners[ribbonIndices[k]] : prismCorners[prismIndices[k]];
    int texel = 2 * (first + branch);
    ivec2 at = ivec2(texel % RECORD_TEXTURE_WIDTH, texel / RECORD_TEXTURE_WIDTH);
    vec4 baseAndRadius = texelFetch(records, at, 0);
    vec4 endAndRadius = texelFetch(records, at + ivec2(1, 0), 0);
    vec3 base = baseAndRadius.xyz;
    vec3 axis = endAndRadius.xyz - base;
    float len = length(axis);
    vec3 along = len > 0.0 ? axis / len : vec3(0.0, 1.0, 0.0);
    float radius = mix(baseAndRadius.w, endAndRadius.w, corner.z);
    // A branch of no length is a point: a prism as long as it is wide round it.
    vec3 centre = len > 0.0 ? mix(base, endAndRadius.xyz, corner.z)
                            : base + along * radius * (2.0 * corner.z - 1.0);
    vec3 normal;
    vec3 position;
    if (ribbons) {
        vec3 toEye = normalize(eye - centre);
        vec3 across = cross(along, toEye);
        float width = length(across);
        across = width > 1e-6 ? across / width : vec3(1.0, 0.0, 0.0);
        position = centre + across * (radius * corner.x);
        normal = normalize(across * corner.x + toEye);
    } else {
        vec3 helper = abs(along.x) < 0.9 ? vec3(1.0, 0.0, 0.0) : vec3(0.0, 1.0, 0.0);
        vec3 u = normalize(helper - dot(helper, along) * along);
        vec3 w = cross(along, u);
        vec3 radial = corner.x * u + corner.y * w;
        bool cap = corner.x == 0.0 && corner.y == 0.0;
        normal = cap ? along * (2.0 * corner.z - 1.0) : radial;
        position = centre + radius * radial;
    }
    shadedNormal = mat3(viewMatrix) * normal;
    gl_Position = projectionMatrix * (viewMatrix * vec4(position, 1.0));
}
)";

// A shape's corners and triangles as constant arrays of the shader.
template <std::size_t Corners, std::size_t Indices>
std::string ShapeArrays(const char* name, const std::array<float, Corners>& corners,
                        const std::array<std::uint16_t, Indices>& indices) {
    std::string text = "const vec3 " + std::string(name) + "Corners[" +
                       std::to_string(Corners / 3) + "] = vec3[](";
    for (std::size_t i = 0; i < Corners; i += 3) {
        text += (i > 0 ? ", vec3(" : "vec3(") + std::to_string(corners[i]) + ", " +
                std::to_string(corners[i + 1]) + ", " + std::to_string(corners[i + 2]) + ")";
    }
    text +=
        ");\nconst int " + std::string(name) + "Indices[" + std::to_string(Indices) + "] = int[](";
    for (std::size_t i = 0; i < Indices; ++i) {
        text += (i > 0 ? ", " : "") + std::to_string(indices[i]);
    }
    return text + ");\n";
}

constexpr const char* kFragmentBody = R"(
in vec3 shadedNormal;
uniform vec3 barkColour;
uniform vec3 skyUp;
out vec4 fragmentColour;
void main() {
    vec3 n = normalize(shadedNormal);
    // From the viewer's upper left, a little in front.
    vec3 key = vec3(-0.4364, 0.6547, 0.6172);
    float direct = max(dot(n, key), 0.0);
    float sky = 0.5 + 0.5 * dot(n, skyUp);
    vec3 light = vec3(1.0, 0.95, 0.86) * (0.85 * direct) +
                 mix(vec3(0.22, 0.2, 0.17), vec3(0.62, 0.68, 0.78), sky) * 0.55;
    fragmentColour = vec4(pow(barkColour * light, vec3(1.0 / 2.2)), 1.0);
}
)";

} // namespace

std::string VertexShader(GlslDialect dialect) {
    const PrismTemplate prism = MakePrismTemplate();
    const RibbonTemplate ribbon = MakeRibbonTemplate();
    return Header(dialect) + "#define PRISM_VERTICES " + std::to_string(kPrismIndices) +
           "\n#define RIBBON_VERTICES " + std::to_string(kRibbonIndices) +
           "\n#define RECORD_TEXTURE_WIDTH " + std::to_string(kRecordTextureWidth) + "\n" +
           ShapeArrays("prism", prism.corners, prism.indices) +
           ShapeArrays("ribbon", ribbon.corners, ribbon.indices) + kVertexBody;
}

std::string FragmentShader(GlslDialect dialect) {
    return Header(dialect) + kFragmentBody;
}

PrismTemplate MakePrismTemplate() {
    PrismTemplate prism{};
    constexpr double kTurn = 6.28318530717958647692;
    for (std::size_t k = 0; k < kBranchSides; ++k) {
        const double angle = kTurn * static_cast<double>(k) / kBranchSides;
        for (std::size_t end = 0; end < 2; ++end) {
            float* corner = &prism.corners[3 * (end * kBranchSides + k)];
            corner[0] = static_cast<float>(std::cos(angle));
            corner[1] = static_cast<float>(std::sin(angle));
            corner[2] = static_cast<float>(end);
        }
    }
    // The two centres: cos and sin 0.
    prism.corners[3 * 2 * kBranchSides + 2] = 0;
    prism.corners[3 * (2 * kBranchSides + 1) + 2] = 1;
    constexpr std::uint16_t n = kBranchSides;
    constexpr std::uint16_t baseCentre = 2 * n;
    constexpr std::uint16_t endCentre = 2 * n + 1;
    std::size_t at = 0;
    const auto triangle = [&](std::uint16_t a, std::uint16_t b, std::uint16_t c) {
        prism.indices[at++] = a;
        prism.indices[at++] = b;
        prism.indices[at++] = c;
    };
    for (std::uint16_t k = 0; k < n; ++k) {
        const std::uint16_t next = (k + 1) % n;
        triangle(k, next, n + next);
        triangle(k, n + next, n + k);
        triangle(baseCentre, next, k);
        triangle(endCentre, n + k, n + next);
    }
    return prism;
}

RibbonTemplate MakeRibbonTemplate() {
    return {{-1, 0, 0, 1, 0, 0, -1, 0, 1, 1, 0, 1}, {0, 1, 3, 0, 3, 2}};
}

std::array<float, 3> BarkColour() {
    const std::array<double, 3> linear = LinearBranchColour();
    return {static_cast<float>(linear[0]), static_cast<float>(linear[1]),
            static_cast<float>(linear[2])};
}

} // namespace arbolith
