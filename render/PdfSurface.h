#pragma once

#include <cstdint>
#include <vector>

#include "render/ByteSink.h"
#include "render/Deflate.h"
#include "render/SurfaceObjects.h"
#include "surface/DrawingSurface.h"

namespace arbolith {

// A drawing surface that writes a one-page PDF document as it is drawn on: the page is the
// canvas, a point to a pixel, and every polygon a filled and stroked path in drawing order.
// The page's content is compressed in pieces on a second thread and handed to the sink as it
// is made, so memory stays flat whatever the tree's size (the document's index grows by a few
// bytes for every 256 KiB of content). Polygons wholly off the page are left out; far-flung
// ones are cut down to a margin round the page, where the cut cannot show.
class PdfSurface : public ObjectSurface {
public:
    // Writes the document's head at once.
    PdfSurface(const ByteSink& sink, int width, int height);

    void FillRectWhite(const SurfaceRect& rect) override;
    void Polygon(const SurfacePoint* points, int count) override;

    // Ends the page and writes the document's tail. False if the sink gave up at any point.
    bool Finish();

private:
    void StartObject();
    bool PutContentObject(const std::vector<char>& compressed);
    void UseFill(Rgb colour);
    void UseStroke(Rgb colour);
    void Content(const char* text, std::size_t size);
    template <std::size_t N> void Content(const char (&text)[N]) { Content(text, N - 1); }
    void ContentNumber(double value);
    void ContentColour(Rgb colour, const char* op);

    int width_;
    int height_;
    ChunkedSink out_;
    // Where each object starts in the document, by number less one.
    std::vector<std::uint64_t> objectOffsets_;
    std::vector<int> contentObjects_;
    // The page's content, gathered in pieces that are compressed as they fill.
    std::vector<char> content_;
    PieceCompressor compressor_;
    Rgb fill_{0, 0, 0};
    Rgb stroke_{0, 0, 0};
    int lineWidth_ = 1;
    bool fillKnown_ = false;
    bool strokeKnown_ = false;
};

} // namespace arbolith
