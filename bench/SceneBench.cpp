// The desktop's 3-D view on this machine's OpenGL (under Xvfb, Mesa's llvmpipe): the time of a
// frame while orbiting trees of about 10^4, 10^5 and 10^6 branches, the GPU's bytes a branch, and
// the time from asking for the example tree to its first frame. Prints a Markdown table.
// Usage: xvfb-run -a -s "-screen 0 1280x1024x24" build/dev/bench/arbolith_scene_bench
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include "tree/ExampleTree.h"
#include "ui/qt/TreeView3D.h"

using namespace arbolith;

namespace {

constexpr int kFrames = 12;

void WaitFor(const std::function<bool()>& done) {
    while (!done()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
}

// The median time of a frame, each after a drag of two pixels, drawn and read back (the read,
// 800 x 600 pixels, takes about a millisecond of it).
double OrbitFrameMilliseconds(TreeView3D& view) {
    std::vector<double> times;
    OrbitCamera camera = view.Camera();
    for (int frame = 0; frame < kFrames; ++frame) {
        const auto start = std::chrono::steady_clock::now();
        camera.Orbit(2, 0);
        view.SetCamera(camera);
        view.grabFramebuffer();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    TreeView3D view;
    view.resize(800, 600);
    view.show();
    WaitFor([&] { return view.isValid(); });
    const QOpenGLContext& context = *view.context();
    std::printf("Renderer: %s\n\n",
                reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER)));

    // Press to first frame: from asking for the tree to the first frame that shows it.
    std::vector<double> firsts;
    for (int run = 0; run < 5; ++run) {
        TreeParameters tree = kExampleTree;
        tree.levels = 7 - run % 2; // a new tree each time, so that it grows again
        QElapsedTimer clock;
        double first = -1;
        const auto connection = QObject::connect(&view, &QOpenGLWidget::frameSwapped, [&] {
            if (first < 0 && view.Records() > 0) {
                first = clock.nsecsElapsed() / 1e6;
            }
        });
        clock.start();
        view.ShowTree({tree, 1000000006u + run});
        WaitFor([&] { return first >= 0 && !view.Going(); });
        QObject::disconnect(connection);
        firsts.push_back(first);
    }
    std::sort(firsts.begin(), firsts.end());

    std::printf(
        "| branches | frame while orbiting, 800 x 600 | frames a second |\n|---|---|---|\n");
    for (const int levels : {12, 15, 18}) {
        TreeParameters tree = kExampleTree;
        tree.limbsDegree = 2;
        tree.levels = levels;
        view.ShowTree({tree, 1000000006u});
        WaitFor([&] { return !view.Going(); });
        view.FrameTree();
        const double frame = OrbitFrameMilliseconds(view);
        std::printf("| %llu | %.1f ms | %.1f |\n", static_cast<unsigned long long>(view.Records()),
                    frame, 1000 / frame);
    }
    std::printf("\nGPU bytes a branch: %zu (its record; the prism's 14 corners and 72 indices are "
                "shared by all)\n",
                sizeof(BranchRecord));
    std::printf("Ask to first 3-D frame of the example tree: %.1f ms (median of 5)\n",
                firsts[firsts.size() / 2]);
    return 0;
}
