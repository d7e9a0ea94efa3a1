#include "cli/TreeWriters.h"

#include "render/GltfWriter.h"
#include "render/ObjWriter.h"
#include "render/TreePictures.h"
#include "tree/Random.h"

namespace arbolith::cli {

namespace {

const WriteResult kSinkGaveUp{WriteOutcome::Failed, "the output took no more bytes"};

std::string Counted(std::uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + ' ' + (n == 1 ? one : many);
}

// Writes the tree in 3-D, as glTF or as OBJ naming the material library `library`.
WriteResult WriteModel(const ByteSink& sink, Format format, const RenderOptions& options,
                       Progress& progress, const std::string& library, std::string& holds) {
    // The caller holds the clock at the tree's second.
    const ExportedTree tree{options.tree, ReadClock(), options.path};
    const ExportResult result = format == Format::Glb ? WriteGlb(tree, sink, &progress)
                                                      : WriteObj(tree, library, sink, &progress);
    switch (result.outcome) {
    case ExportResult::Done:
        break;
    case ExportResult::Stopped:
        return {WriteOutcome::Stopped, {}};
    case ExportResult::Failed:
        return result.failure.empty() ? kSinkGaveUp
                                      : WriteResult{WriteOutcome::Failed, result.failure};
    }
    const MeshCounts& counts = result.counts;
    holds = Counted(counts.branches, "branch", "branches") + ", " +
            Counted(counts.vertices, "vertex", "vertices") + ", " +
            Counted(counts.triangles, "triangle", "triangles");
    if (counts.leftOut > 0) {
        holds += "; " + Counted(counts.leftOut, "branch", "branches") +
                 " left out, beyond the range of the file's numbers";
    }
    return {};
}

} // namespace

WriteResult DrawTreeTo(const ByteSink& sink, Format format, const RenderOptions& options,
                       Progress& progress, const std::string& library, std::string& holds) {
    switch (format) {
    case Format::Png:
        return WriteTreePicture(PictureFormat::Png, options.tree, options.width, options.height,
                                options.view, &progress, options.path, sink);
    case Format::Svg:
        return WriteTreePicture(PictureFormat::Svg, options.tree, options.width, options.height,
                                options.view, &progress, options.path, sink);
    case Format::Pdf:
        return WriteTreePicture(PictureFormat::Pdf, options.tree, options.width, options.height,
                                options.view, &progress, options.path, sink);
    case Format::Glb:
    case Format::Obj:
        return WriteModel(sink, format, options, progress, library, holds);
    }
    return {WriteOutcome::Failed, "unknown format"};
}

} // namespace arbolith::cli
