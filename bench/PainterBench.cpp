// The whole run through the Qt painter surface into a canvas-sized image, against the
// rasterizer alone drawing the same polygons recorded beforehand, and the repeated-limb path
// against the literal one on the same trees.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QPen>

#include "render/PainterSurface.h"
#include "tree/DrawingRun.h"
#include "tree/Random.h"
#include "tree/RecordingSurface.h"

namespace arbolith {
namespace {

constexpr std::uint32_t kSecond = 1796000000;

TreeParameters Tree(int levels) {
    TreeParameters p;
    p.maxAngleXY = 40;
    p.maxAngleYZ = 20;
    p.maxAngleXZ = 30;
    p.scaleFactor = 0.75;
    p.limbsDegree = 3;
    p.referencePoint = {280, 640, 0};
    p.firstVector = {0, -150, 0};
    p.levels = levels;
    return p;
}

QImage Canvas() {
    return QImage(560, 670, QImage::Format_RGB32);
}

void Run(benchmark::State& state, GrowthPath path) {
    const TreeParameters p = Tree(static_cast<int>(state.range(0)));
    FixedClock clock(kSecond);
    QImage image = Canvas();
    std::uint64_t branches = 0;
    for (auto _ : state) {
        QPainter painter(&image);
        PainterSurface surface(painter);
        DrawTreeRun(surface, p, nullptr, path);
    }
    {
        RecordingSurface counted(false);
        DrawTreeRun(counted, p, nullptr, path);
        branches = counted.PolygonCount();
    }
    state.counters["branches"] = static_cast<double>(branches);
}

void BM_WholeRunLiteral(benchmark::State& state) {
    Run(state, GrowthPath::Literal);
}
void BM_WholeRunRepeatsOnce(benchmark::State& state) {
    Run(state, GrowthPath::RepeatsOnce);
}

// QPainter alone: the run's white fill and the same polygons with the same pen, brush and rule.
void BM_RasterOnly(benchmark::State& state) {
    const TreeParameters p = Tree(static_cast<int>(state.range(0)));
    RecordingSurface recorded(false);
    {
        FixedClock clock(kSecond);
        DrawTreeRun(recorded, p, nullptr, GrowthPath::Literal);
    }
    std::vector<QPolygon> polygons;
    polygons.reserve(recorded.PolygonCount());
    for (std::size_t i = 0; i < recorded.PolygonCount(); ++i) {
        QPolygon polygon;
        for (const SurfacePoint& corner : recorded.PolygonAt(i)) {
            polygon.append(QPoint(corner.x, corner.y));
        }
        polygons.push_back(polygon);
    }
    QImage image = Canvas();
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.fillRect(QRect(0, 0, 1000, 1000), Qt::white);
        painter.setPen(QPen(QColor(0, 0, 0), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.setBrush(QColor(141, 105, 20));
        for (const QPolygon& polygon : polygons) {
            painter.drawPolygon(polygon, Qt::WindingFill);
        }
    }
    state.counters["branches"] = static_cast<double>(polygons.size());
}

BENCHMARK(BM_RasterOnly)->DenseRange(6, 10, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeRunLiteral)->DenseRange(6, 10, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeRunRepeatsOnce)->DenseRange(6, 10, 2)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace arbolith

int main(int argc, char** argv) {
    // Painting on images needs no application object: no fonts, no display.
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
