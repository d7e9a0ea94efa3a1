// What the desktop canvas costs to show a picture that does not fit: the 560 x 670 picture scaled
// down as a whole, which a growing tree's canvas does at every refresh, against the picture at its
// own size, which is shown as it is.
#include <benchmark/benchmark.h>

#include <QImage>

#include "render/RasterPicture.h"
#include "tree/ExampleTree.h"
#include "ui/DialogLayout.h"
#include "ui/qt/PixelImages.h"
#include "ui/qt/TreeCanvas.h"

namespace arbolith {
namespace {

// The shown sizes: the picture's own, the canvas in a window on a 1366 x 768 screen with a panel,
// and half.
constexpr QSize kShown[] = {{kCanvasWidth, kCanvasHeight}, {538, 644}, {280, 335}};

void BM_ShownPicture(benchmark::State& state) {
    const QImage picture =
        ToQImage(*RenderTreeImage({kExampleTree, 1000000006}, kCanvasWidth, kCanvasHeight));
    const QSize size = kShown[state.range(0)];
    for (auto _ : state) {
        QImage shown = ShownPicture(picture, size);
        benchmark::DoNotOptimize(shown.constBits());
    }
}

// Wall time: Qt scales a large picture on several threads.
BENCHMARK(BM_ShownPicture)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace arbolith

BENCHMARK_MAIN();
