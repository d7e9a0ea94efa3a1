#include "output/Formats.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>

#include "mesh/GltfWriter.h"
#include "mesh/ObjWriter.h"
#if ARBOLITH_COMPRESSED_FORMATS
#include "render/PdfSurface.h"
#include "render/PngWriter.h"
#endif
#include "render/PipelineSurface.h"
#include "render/RasterPicture.h"
#include "render/SvgSurface.h"
#include "tree/BranchCount.h"
#include "tree/DrawingRun.h"
#include "tree/PictureFit.h"

namespace arbolith {

namespace {

const WriteResult kStopped{WriteOutcome::Stopped};

// The sink's own failure is reported by whoever owns it; this only tells that writing ended.
WriteResult Ended(bool complete) {
    return complete ? WriteResult{} : WriteResult{WriteOutcome::Failed};
}

WriteResult WriteSvgTree(const TreeOrder& order, const ByteSink& sink,
                         const WriteSettings& settings) {
    SvgSurface surface(sink, settings.width, settings.height);
    if (settings.width > kClearRect.right || settings.height > kClearRect.bottom) {
        // A run whitens a canvas's room only; a picture has no colour of its own beyond it.
        surface.FillRectWhite({0, 0, settings.width, settings.height});
    }
    if (DrawTreeOnBothCores(surface, order, settings.monitor).stopped) {
        return kStopped;
    }
    return Ended(surface.Finish());
}

#if ARBOLITH_COMPRESSED_FORMATS
WriteResult WritePngTree(const TreeOrder& order, const ByteSink& sink,
                         const WriteSettings& settings) {
    const std::optional<PixelImage> image =
        RenderTreeImage(order, settings.width, settings.height, settings.monitor);
    return image ? Ended(WritePng(*image, sink)) : kStopped;
}

WriteResult WritePdfTree(const TreeOrder& order, const ByteSink& sink,
                         const WriteSettings& settings) {
    PdfSurface surface(sink, settings.width, settings.height);
    // A page has no colour of its own; the whole of it is white, as a picture's is.
    surface.FillRectWhite({0, 0, settings.width, settings.height});
    if (DrawTreeOnBothCores(surface, order, settings.monitor).stopped) {
        return kStopped;
    }
    return Ended(surface.Finish());
}

constexpr auto kPngWriter = &WritePngTree;
constexpr auto kPdfWriter = &WritePdfTree;
#else
// Built without a deflate library (the browser's build): its front end encodes PNG itself.
constexpr TreeWriter kPngWriter = nullptr;
constexpr TreeWriter kPdfWriter = nullptr;
#endif

WriteResult WriteGlbTree(const TreeOrder& order, const ByteSink& sink,
                         const WriteSettings& settings) {
    return WriteGlb(order, sink, settings.monitor, settings.file, settings.levelsOfDetail);
}

WriteResult WriteObjTree(const TreeOrder& order, const ByteSink& sink,
                         const WriteSettings& settings) {
    return WriteObj(order, settings.materialLibrary, sink, settings.monitor,
                    settings.levelsOfDetail);
}

constexpr std::array kFormats{
    FormatInfo{Format::Png, "png", ".png", "PNG image", false, true, kPngWriter},
    FormatInfo{Format::Svg, "svg", ".svg", "SVG drawing, one polygon per branch", false, false,
               &WriteSvgTree},
    FormatInfo{Format::Pdf, "pdf", ".pdf", "PDF document, one page", false, true, kPdfWriter},
    FormatInfo{Format::Glb, "glb", ".glb", "glTF binary, the tree in 3-D", true, true,
               &WriteGlbTree},
    FormatInfo{Format::Obj, "obj", ".obj", "Wavefront OBJ with its .mtl, the tree in 3-D", true,
               false, &WriteObjTree},
};

// Passes on a stop while the picture is measured, but no progress: the drawing counts that.
class MeasuringMonitor final : public RunMonitor {
public:
    explicit MeasuringMonitor(RunMonitor* drawing) : drawing_(drawing) {}
    bool KeepGoing(std::uint64_t) override { return drawing_ == nullptr || drawing_->KeepGoing(0); }

private:
    RunMonitor* drawing_;
};

} // namespace

std::span<const FormatInfo> Formats() {
    return kFormats;
}

const FormatInfo& InfoOf(Format format) {
    return *std::find_if(kFormats.begin(), kFormats.end(),
                         [format](const FormatInfo& info) { return info.format == format; });
}

std::optional<Format> FormatNamed(std::string_view name) {
    for (const FormatInfo& info : kFormats) {
        if (info.name == name) {
            return info.format;
        }
    }
    return std::nullopt;
}

std::optional<Format> FormatOfPath(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) {
        return std::nullopt;
    }
    std::string extension(path.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const FormatInfo& info : kFormats) {
        if (info.extension == extension) {
            return info.format;
        }
    }
    return std::nullopt;
}

std::string FormatNameList(std::string_view lastJoint) {
    std::string list;
    for (std::size_t i = 0; i < kFormats.size(); ++i) {
        if (i > 0) {
            list += i + 1 == kFormats.size() ? lastJoint : std::string_view(", ");
        }
        list += kFormats[i].name;
    }
    return list;
}

std::optional<std::uint64_t> MostFileBytes(Format format, const TreeOrder& order,
                                           const WriteSettings& settings) {
    const BranchCount count = CountBranches(order.parameters, order.path, order.second);
    const std::uint64_t branches = std::min(count.branches, order.branchLimit);
    // Past any file a system holds; and no product below can wrap round.
    constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();
    if (branches > kMost >> 16) {
        return kMost;
    }
    switch (format) {
    case Format::Svg:
        return SvgMostBytes(branches, settings.width, settings.height);
    case Format::Glb:
        return GlbMostBytes(branches, settings.levelsOfDetail);
    case Format::Obj:
        return ObjMostBytes(branches, settings.materialLibrary, settings.levelsOfDetail);
    case Format::Png:
    case Format::Pdf:
        break;
    }
    return std::nullopt;
}

WriteResult WriteTree(Format format, const TreeOrder& order, const ByteSink& sink,
                      const WriteSettings& settings) {
    const FormatInfo& info = InfoOf(format);
    if (info.write == nullptr) {
        return {WriteOutcome::Failed, std::string(info.name) + " is not written by this build"};
    }
    TreeOrder placed = order;
    if (settings.fit && !info.model) {
        placed.placement = {};
        MeasuringMonitor measuring(settings.monitor);
        const std::optional<PictureBox> box = MeasurePicture(placed, &measuring);
        if (!box) {
            return kStopped;
        }
        placed.placement = FitPlacement(*box, settings.width, settings.height);
    }
    WriteResult result = info.write(placed, sink, settings);
    if (result.outcome == WriteOutcome::Written && settings.monitor != nullptr &&
        !settings.monitor->MayFinish()) {
        result.outcome = WriteOutcome::Stopped;
    }
    return result;
}

} // namespace arbolith
