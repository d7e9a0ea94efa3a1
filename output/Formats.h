#pragma once

#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "render/ByteSink.h"
#include "render/WriteResult.h"
#include "tree/TreeOrder.h"
#include "tree/TreePainter.h"

namespace arbolith {

struct PreparedFile;

// Pictures, and the tree in 3-D: binary glTF and Wavefront OBJ (with its material library).
enum class Format { Png, Svg, Pdf, Glb, Obj };

// The desktop canvas, and so every picture's size unless asked otherwise.
inline constexpr int kPictureWidth = 560;
inline constexpr int kPictureHeight = 670;

// A side of a picture drawn `scale` times larger: the picture holds the whole of every pixel.
inline int ScaledSide(int side, double scale) {
    return static_cast<int>(std::ceil(side * scale));
}

// How a tree is written, besides the order that says which tree.
struct WriteSettings {
    // A picture's size in pixels (a PDF's in points).
    int width = kPictureWidth;
    int height = kPictureHeight;
    // Watches the growth; it is asked once more when the content is complete, and may still stop
    // the write then.
    RunMonitor* monitor = nullptr;
    // The material library an OBJ names, a file beside it; none when empty.
    std::string materialLibrary;
    // The file being prepared, when the output is one: a .glb is then written in one growth a
    // mesh, its head last. None for a plain sink.
    const PreparedFile* file = nullptr;
    // Pictures only: the tree placed and scaled to fill the picture, whatever the order's
    // placement says.
    bool fit = false;
    // For a 3-D file: this many meshes of the tree, levels of detail each about half the
    // triangles of the one before (named ..._LOD0, ..._LOD1 and so on); 0 for the one full mesh.
    int levelsOfDetail = 0;
};

// The most levels of detail a 3-D file holds.
inline constexpr int kMostLevelsOfDetail = 8;

using TreeWriter = WriteResult (*)(const TreeOrder& order, const ByteSink& sink,
                                   const WriteSettings& settings);

// One row of the table every front end reads: the CLI's --format, its help, manual page and
// completion, the desktop's Save dialog and the browser edition.
struct FormatInfo {
    Format format;
    std::string_view name;        // as --format takes it
    std::string_view extension;   // with its dot
    std::string_view description; // for a list of file types
    bool model;                   // the tree in 3-D; a picture otherwise
    bool binary;                  // not text
    // None where the build has no encoder for the format (PNG and PDF in the browser's).
    TreeWriter write;
};

// Every format, in the order lists show them.
std::span<const FormatInfo> Formats();
const FormatInfo& InfoOf(Format format);
std::optional<Format> FormatNamed(std::string_view name);
// The format a file name's extension names, in any case.
std::optional<Format> FormatOfPath(std::string_view path);
// The formats' names as a sentence lists them: "png, svg, pdf, glb or obj".
std::string FormatNameList(std::string_view lastJoint = " or ");

// The most bytes the tree's file can take in the format, known before it is written: for SVG,
// glb and OBJ, whose files grow by a known most a branch; none for PNG and PDF, which compress.
std::optional<std::uint64_t> MostFileBytes(Format format, const TreeOrder& order,
                                           const WriteSettings& settings = {});

// Writes the order's tree in the format through the sink. A sink that gives up ends the writing
// early; the monitor stops it. A 3-D file holds the tree itself: the order's view and placement
// and the settings' fit are for pictures only.
WriteResult WriteTree(Format format, const TreeOrder& order, const ByteSink& sink,
                      const WriteSettings& settings = {});

} // namespace arbolith
