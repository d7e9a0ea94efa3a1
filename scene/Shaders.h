#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "mesh/Mesher.h"

namespace arbolith {

// The two tongues of the same shaders: OpenGL 3.3 core on the desktop, WebGL 2 in the browser.
enum class GlslDialect { Core330, Es300 };

// The records as the GPU holds them: a float texture (RGBA, 32 bits a channel) this many texels
// wide, a record two texels side by side (base and its radius, end and its radius), row after row.
inline constexpr std::size_t kRecordTextureWidth = 4096;
inline constexpr std::size_t kRecordsPerTextureRow = kRecordTextureWidth / 2;

// The vertex shader builds each branch's solid from its record exactly as the mesh shapes it: a
// draw of 72 vertices a branch (no instances, no vertex attributes) makes the records from the
// uniform `first` on, read from the texture `records`, into prisms; with the uniform `ribbons`
// set, a draw of 6 a branch makes twigs' ribbons, as wide as the prism, across the line to the
// uniform `eye` and shaded as if round. Uniforms viewMatrix and projectionMatrix place them. The
// fragment shader lights the bark: a key light from the viewer's upper left and a sky light
// brighter from above (uniforms barkColour, linear RGB, and skyUp, the model's up in the
// camera's space), written in sRGB.
std::string VertexShader(GlslDialect dialect);
std::string FragmentShader(GlslDialect dialect);

// One branch's solid, the mesh's prism (kPrismIndices vertices in a draw): per corner (cos, sin, t)
// round the axis, at the base (t = 0) or the end (t = 1); a cap's centre has cos = sin = 0.
// Triangles counter-clockwise from outside.
inline constexpr std::size_t kPrismVertices = 2 * kBranchSides + 2;
inline constexpr std::size_t kPrismIndices = 3 * 4 * kBranchSides;
struct PrismTemplate {
    std::array<float, 3 * kPrismVertices> corners;
    std::array<std::uint16_t, kPrismIndices> indices;
};
PrismTemplate MakePrismTemplate();

// A twig's ribbon (kRibbonIndices vertices in a draw): per corner (side, 0, t), side -1 or 1
// across it; two triangles.
inline constexpr std::size_t kRibbonVertices = 4;
inline constexpr std::size_t kRibbonIndices = 6;
struct RibbonTemplate {
    std::array<float, 3 * kRibbonVertices> corners;
    std::array<std::uint16_t, kRibbonIndices> indices;
};
RibbonTemplate MakeRibbonTemplate();

// The picture's brown in linear RGB, as the shaders take it.
std::array<float, 3> BarkColour();

// Behind the tree: a pale sky, the same in both views.
inline constexpr std::array<float, 3> kSkyBackground{0.90f, 0.93f, 0.96f};

} // namespace arbolith
