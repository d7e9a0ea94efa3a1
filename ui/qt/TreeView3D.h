#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <QOpenGLWidget>
#include <QPoint>
#include <QTimer>

#include "scene/BranchRecords.h"
#include "scene/OrbitCamera.h"

class QOpenGLFunctions_3_3_Core;

namespace arbolith {

class SceneRun;

// The tree in 3-D, lit, to orbit and zoom: OpenGL 3.3 core, a 32-byte record a branch from which
// the vertex shader builds each limb's solid. A tree's records grow on a thread of their own and
// stream into the view; turning, zooming and panning move the camera only. A left drag orbits,
// the wheel zooms toward the pointer, a right or middle drag pans, a double click or Home frames
// the whole tree. Until the user moves the camera, it keeps the tree framed as it grows.
class TreeView3D : public QOpenGLWidget {
    Q_OBJECT

public:
    // The most branches the view holds: 512 MiB of records.
    static constexpr std::uint64_t kMostRecords = std::uint64_t{1} << 24;

    explicit TreeView3D(QWidget* parent = nullptr);
    // OpenGL 3.3 core with a depth buffer and four samples a pixel.
    static QSurfaceFormat Format();
    ~TreeView3D() override;

    // Grows the records of the order's tree, unless the view holds or grows that tree already,
    // whatever the picture's view. A growth still going is stopped first.
    void ShowTree(const TreeOrder& order);
    void Stop();
    bool Going() const;
    // Records the view has, and how many its tree has at most.
    std::uint64_t Records() const {
        return solidCount_ + ribbonCount_ + pendingSolids_.size() + pendingRibbons_.size();
    }
    std::uint64_t Expected() const { return expected_; }

    void FrameTree();
    const OrbitCamera& Camera() const { return camera_; }
    void SetCamera(const OrbitCamera& camera);
    const ModelBox& Bounds() const { return bounds_; }
    // Once the view has tried OpenGL: empty while it works, else the one line that says why the
    // view stays empty.
    const QString& Trouble() const { return trouble_; }

signals:
    // The growth made progress or ended, or OpenGL turned out to be missing.
    void Changed();

protected:
    void initializeGL() override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void TakeRecords();
    void OnFinished();
    void FailWith(const QString& trouble);
    Viewport ViewSize() const;
    void Build();
    void Upload();
    // Draws `count` records from `first` on as prisms or as ribbons, `vertices` a branch.
    void DrawShape(std::uint64_t first, std::uint64_t count, std::size_t vertices, bool ribbons);

    OrbitCamera camera_;
    ModelBox bounds_;
    bool autoFrame_ = true;
    std::unique_ptr<SceneRun> run_;
    std::optional<TreeOrder> tree_;
    std::uint64_t expected_ = 0;
    QTimer take_;
    // Records taken from the run, waiting for the next frame to reach the GPU.
    std::vector<BranchRecord> pendingSolids_;
    std::vector<BranchRecord> pendingRibbons_;
    // The GPU's texture holds the solids from its start and the ribbons from its end.
    std::uint64_t solidCount_ = 0;
    std::uint64_t ribbonCount_ = 0;
    std::uint64_t capacity_ = 0;
    std::uint64_t mostRecords_ = 0; // what the largest texture holds
    bool refill_ = false;           // a new tree: the buffer starts afresh

    QOpenGLFunctions_3_3_Core* gl_ = nullptr;
    unsigned program_ = 0;
    unsigned noAttributes_ = 0;
    unsigned recordTexture_ = 0;
    int viewMatrix_ = -1;
    int projectionMatrix_ = -1;
    int barkColour_ = -1;
    int skyUp_ = -1;
    int ribbons_ = -1;
    int eye_ = -1;
    int first_ = -1;
    QString trouble_;

    QPoint last_;
    Qt::MouseButton dragging_ = Qt::NoButton;
};

} // namespace arbolith
