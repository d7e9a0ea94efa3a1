// The rasterizer against Qt's raster painter on the same recorded polygons, the whole run against
// the rasterizer alone, growth alone, PNG encoding of a canvas-sized tree, and every format
// written whole for the same tree (wall time: PDF compresses on a second thread).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPen>

#include "bench/CountingSurface.h"
#include "output/Formats.h"
#include "render/PipelineSurface.h"
#include "render/PngWriter.h"
#include "render/PolygonRaster.h"
#include "render/RasterPicture.h"
#include "render/RasterSurface.h"
#include "tests/support/RecordingSurface.h"
#include "tree/DrawingRun.h"
#include "tree/ExampleTree.h"

namespace arbolith {
namespace {

constexpr std::uint32_t kSecond = 1796000000;

// Two trees: 3 limbs and 12 levels drawn literally (2,391,484 branches), and 2 limbs and 18
// levels (1,048,575 branches), where every polygon is drawn on either path.
TreeOrder TreeNumbered(std::int64_t which) {
    TreeParameters p;
    p.maxAngleXY = 40;
    p.maxAngleYZ = 20;
    p.maxAngleXZ = 30;
    p.scaleFactor = 0.75;
    p.limbsDegree = which == 0 ? 3 : 2;
    p.referencePoint = {280, 640, 0};
    p.firstVector = {0, -150, 0};
    p.levels = which == 0 ? 12 : 18;
    return {p, kSecond, {}, which == 0 ? GrowthPath::Literal : GrowthPath::RepeatsOnce};
}

// A tree's branches as the painter hands them over, four corners each, one after another.
constexpr std::size_t kCorners = 4;
constexpr std::size_t kBlockCorners = kCorners * 256; // growth hands 256 branches a block

const std::vector<SurfacePoint>& Recorded(std::int64_t which) {
    static std::vector<SurfacePoint> trees[2];
    std::vector<SurfacePoint>& corners = trees[which];
    if (corners.empty()) {
        RecordingSurface recorded(false);
        DrawTree(recorded, TreeNumbered(which));
        for (std::size_t i = 0; i < recorded.PolygonCount(); ++i) {
            const auto polygon = recorded.PolygonAt(i);
            if (polygon.size() != kCorners) {
                std::abort();
            }
            corners.insert(corners.end(), polygon.begin(), polygon.end());
        }
    }
    return corners;
}

std::size_t Branches(std::int64_t which) {
    return Recorded(which).size() / kCorners;
}

void Count(benchmark::State& state, std::size_t branches) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * branches));
    state.counters["branches"] = static_cast<double>(branches);
}

// Qt's raster painter: the run's white fill and the same polygons with the same pen, brush and
// rule, without antialiasing.
void BM_QPainterOnly(benchmark::State& state) {
    const auto& corners = Recorded(state.range(0));
    std::vector<QPolygon> qt;
    for (std::size_t i = 0; i < corners.size(); i += kCorners) {
        QPolygon polygon;
        for (std::size_t corner = i; corner < i + kCorners; ++corner) {
            polygon.append(QPoint(corners[corner].x, corners[corner].y));
        }
        qt.push_back(polygon);
    }
    QImage image(560, 670, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.fillRect(QRect(0, 0, 1000, 1000), Qt::white);
        painter.setPen(QPen(QColor(0, 0, 0), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.setBrush(QColor(141, 105, 20));
        for (const QPolygon& polygon : qt) {
            painter.drawPolygon(polygon, Qt::WindingFill);
        }
    }
    Count(state, qt.size());
}

// Our rasterizer on the same polygons, fed as growth feeds it.
void BM_RasterizerOnly(benchmark::State& state) {
    const auto& corners = Recorded(state.range(0));
    PixelImage image(560, 670);
    for (auto _ : state) {
        RasterSurface surface(image);
        surface.FillRectWhite({0, 0, 1000, 1000});
        surface.SetPolyFillMode(PolyFillMode::Winding);
        surface.SelectObject(surface.CreatePen(PenStyle::Solid, 1, kBranchOutline));
        surface.SelectObject(surface.CreateSolidBrush(kBranchFill));
        for (std::size_t i = 0; i < corners.size(); i += kBlockCorners) {
            surface.Quadrilaterals(corners.data() + i,
                                   std::min(kBlockCorners, corners.size() - i) / kCorners);
        }
        benchmark::DoNotOptimize(image.Row(0));
    }
    Count(state, Branches(state.range(0)));
}

// The floor under the rasterizer: the same picture whitened, then each polygon's pixels written
// once, as runs along its rows found beforehand (by the rasterizer, on a picture of its own).
struct Span {
    std::uint32_t start; // the first pixel's place in the picture
    std::uint32_t length;
};

std::vector<Span> SpansOf(const std::vector<SurfacePoint>& corners) {
    constexpr Pixel kUntouched = 0;
    PixelImage scratch(560, 670, kUntouched);
    std::vector<Span> spans;
    for (std::size_t i = 0; i < corners.size(); i += kCorners) {
        DrawPolygon(scratch, {0, scratch.Height()}, corners.data() + i, kCorners,
                    PolyFillMode::Winding, 1, 2);
        SurfaceRect box{scratch.Width(), scratch.Height(), -1, -1};
        for (std::size_t corner = i; corner < i + kCorners; ++corner) {
            const SurfacePoint point = corners[corner];
            box = {std::min(box.left, point.x), std::min(box.top, point.y),
                   std::max(box.right, point.x), std::max(box.bottom, point.y)};
        }
        for (int y = std::max(box.top, 0); y <= std::min(box.bottom, scratch.Height() - 1); ++y) {
            Pixel* row = scratch.Row(y);
            const int right = std::min(box.right, scratch.Width() - 1);
            for (int x = std::max(box.left, 0); x <= right; ++x) {
                const int from = x;
                while (x <= right && row[x] != kUntouched) {
                    row[x++] = kUntouched;
                }
                if (x > from) {
                    spans.push_back({static_cast<std::uint32_t>(y * scratch.Width() + from),
                                     static_cast<std::uint32_t>(x - from)});
                }
            }
        }
    }
    return spans;
}

void BM_SpanFloor(benchmark::State& state) {
    const std::vector<Span> spans = SpansOf(Recorded(state.range(0)));
    std::vector<Pixel> image(560 * 670);
    const Pixel colour = PixelOf(kBranchFill);
    for (auto _ : state) {
        std::fill(image.begin(), image.end(), kWhitePixel);
        for (const Span& span : spans) {
            std::fill_n(image.data() + span.start, span.length, colour);
        }
        benchmark::DoNotOptimize(image.data());
    }
    Count(state, Branches(state.range(0)));
    std::uint64_t pixels = 0;
    for (const Span& span : spans) {
        pixels += span.length;
    }
    // A label, not a counter: the CSV report would drop a row with a counter others lack.
    state.SetLabel(std::to_string(pixels / Branches(state.range(0))) + " pixels a branch");
}

// Growth and rasterizer together, as arbolith-render draws a PNG's picture.
void BM_WholeRun(benchmark::State& state) {
    const TreeOrder tree = TreeNumbered(state.range(0));
    PixelImage image(560, 670);
    for (auto _ : state) {
        RasterSurface surface(image);
        DrawTree(surface, tree);
    }
    Count(state, Branches(state.range(0)));
}

// The same on both cores: growth on this thread, the rasterizer on another (wall time).
void BM_WholeRunBothCores(benchmark::State& state) {
    const TreeOrder tree = TreeNumbered(state.range(0));
    PixelImage image(560, 670);
    for (auto _ : state) {
        RasterSurface surface(image);
        DrawTreeOnBothCores(surface, tree);
    }
    Count(state, Branches(state.range(0)));
}

// Growth alone, into a surface that only counts.
void BM_GrowthOnly(benchmark::State& state) {
    const TreeOrder tree = TreeNumbered(state.range(0));
    for (auto _ : state) {
        CountingSurface surface;
        DrawTree(surface, tree);
        benchmark::DoNotOptimize(surface.checksum);
    }
    Count(state, Branches(state.range(0)));
}

const PixelImage& ExamplePicture() {
    static const PixelImage picture = [] {
        return *RenderTreeImage({kExampleTree, kSecond}, 560, 670);
    }();
    return picture;
}

void BM_PngPalette(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        WritePng(ExamplePicture(), [&bytes](const void*, std::size_t size) {
            bytes += size;
            return true;
        });
    }
    state.SetLabel(std::to_string(bytes) + " bytes");
}

// What the pictures cost before: Qt's encoder on the 32-bit image.
void BM_PngQt(benchmark::State& state) {
    QImage image(560, 670, QImage::Format_RGB32);
    for (int y = 0; y < 670; ++y) {
        std::memcpy(image.scanLine(y), ExamplePicture().Row(y), 560 * sizeof(Pixel));
    }
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        bytes = buffer.size();
    }
    state.SetLabel(std::to_string(bytes) + " bytes");
}

// Each format written whole for tree 1 (1,048,575 branches) into a sink that only counts:
// growth, drawing and encoding together.
void WriteFormat(benchmark::State& state, Format format) {
    const TreeOrder tree = TreeNumbered(1);
    std::uint64_t bytes = 0;
    const ByteSink sink = [&bytes](const void*, std::size_t size) {
        bytes += size;
        return true;
    };
    for (auto _ : state) {
        bytes = 0;
        WriteTree(format, tree, sink);
    }
    Count(state, Branches(1));
    state.SetLabel(std::to_string(bytes / Branches(1)) + " bytes a branch");
}

void BM_WritePng(benchmark::State& state) {
    WriteFormat(state, Format::Png);
}
void BM_WriteSvg(benchmark::State& state) {
    WriteFormat(state, Format::Svg);
}
void BM_WritePdf(benchmark::State& state) {
    WriteFormat(state, Format::Pdf);
}

BENCHMARK(BM_QPainterOnly)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RasterizerOnly)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpanFloor)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeRun)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeRunBothCores)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GrowthOnly)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngPalette)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WritePng)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteSvg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WritePdf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PngQt)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace arbolith

int main(int argc, char** argv) {
    // Painting on images needs no application object: no fonts, no display.
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
