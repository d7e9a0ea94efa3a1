#include "render/TreePictures.h"

#include "render/PdfSurface.h"
#include "render/PngWriter.h"
#include "render/SvgSurface.h"
#include "render/TreeImage.h"
#include "tree/DrawingRun.h"

namespace arbolith {

namespace {

constexpr WriteResult kStopped{WriteOutcome::Stopped, {}};

// The sink's own failure is reported by whoever owns it; this only tells that writing ended.
WriteResult Ended(bool complete) {
    return complete ? WriteResult{}
                    : WriteResult{WriteOutcome::Failed, "the output took no more bytes"};
}

} // namespace

WriteResult WriteTreePicture(PictureFormat format, const TreeParameters& parameters, int width,
                             int height, ViewAngles view, RunMonitor* monitor, GrowthPath path,
                             const ByteSink& sink) {
    switch (format) {
    case PictureFormat::Png: {
        const std::optional<PixelImage> image =
            RenderTreeImage(parameters, width, height, monitor, path, view);
        if (!image) {
            return kStopped;
        }
        return Ended(WritePng(*image, sink));
    }
    case PictureFormat::Svg: {
        SvgSurface surface(sink, width, height);
        if (!DrawTurnedTreeRun(surface, parameters, view, monitor, path)) {
            return kStopped;
        }
        return Ended(surface.Finish());
    }
    case PictureFormat::Pdf: {
        PdfSurface surface(sink, width, height);
        // A page has no colour of its own; the whole of it is white, as a picture's is.
        surface.FillRectWhite({0, 0, width, height});
        if (!DrawTurnedTreeRun(surface, parameters, view, monitor, path)) {
            return kStopped;
        }
        return Ended(surface.Finish());
    }
    }
    return {WriteOutcome::Failed, "unknown format"};
}

} // namespace arbolith
