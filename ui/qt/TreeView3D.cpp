#include "ui/qt/TreeView3D.h"

#include <algorithm>
#include <cmath>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>
#include <QOpenGLVersionFunctionsFactory>
#include <QPainter>
#include <QWheelEvent>

#include "scene/Shaders.h"
#include "tree/BranchCount.h"
#include "ui/qt/SceneRun.h"

namespace arbolith {

namespace {

// New records reach the view at least this often while its tree grows.
constexpr int kTakeMilliseconds = 40;
// A wheel notch brings the camera this much nearer.
constexpr double kZoomPerNotch = 0.85;

bool SameTree(const TreeOrder& a, const TreeOrder& b) {
    return a.parameters == b.parameters && a.second == b.second && a.path == b.path &&
           a.branchLimit == b.branchLimit;
}

} // namespace

QSurfaceFormat TreeView3D::Format() {
    QSurfaceFormat format;
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setDepthBufferSize(24);
    format.setSamples(0);
    return format;
}

TreeView3D::TreeView3D(QWidget* parent) : QOpenGLWidget(parent) {
    setFormat(Format());
    setFocusPolicy(Qt::ClickFocus);
    take_.setInterval(kTakeMilliseconds);
    connect(&take_, &QTimer::timeout, this, &TreeView3D::TakeRecords);
}

TreeView3D::~TreeView3D() {
    if (run_) {
        run_->Stop();
        run_->Wait(-1);
    }
    if (gl_ != nullptr && context() != nullptr) {
        makeCurrent();
        gl_->glDeleteTextures(1, &recordTexture_);
        gl_->glDeleteVertexArrays(1, &noAttributes_);
        gl_->glDeleteProgram(program_);
        doneCurrent();
    }
}

void TreeView3D::ShowTree(const TreeOrder& order) {
    if (tree_ && SameTree(*tree_, order)) {
        return;
    }
    if (run_) {
        run_->Stop();
        run_->Wait(-1);
        run_.reset();
    }
    tree_ = order;
    tree_->view = {};
    expected_ = std::min(CountBranches(order.parameters, order.path, order.second).branches,
                         std::min(order.branchLimit, kMostRecords));
    pendingSolids_.clear();
    pendingRibbons_.clear();
    solidCount_ = 0;
    ribbonCount_ = 0;
    bounds_ = {};
    refill_ = true;
    run_ = std::make_unique<SceneRun>(*tree_, expected_);
    connect(run_.get(), &SceneRun::Finished, this, &TreeView3D::OnFinished);
    run_->Start();
    take_.start();
    emit Changed();
}

void TreeView3D::Stop() {
    if (run_) {
        run_->Stop();
    }
}

bool TreeView3D::Going() const {
    return take_.isActive();
}

void TreeView3D::TakeRecords() {
    if (!run_) {
        return;
    }
    const ModelBox box = run_->Take(pendingSolids_, pendingRibbons_);
    if (!box.empty) {
        bounds_ = box;
    }
    if (autoFrame_) {
        camera_.Frame(bounds_, ViewSize());
    }
    update();
    emit Changed();
}

void TreeView3D::OnFinished() {
    run_->Wait(-1);
    TakeRecords();
    take_.stop();
    emit Changed();
}

void TreeView3D::FrameTree() {
    autoFrame_ = true;
    camera_.Frame(bounds_, ViewSize());
    update();
}

void TreeView3D::SetCamera(const OrbitCamera& camera) {
    camera_ = camera;
    autoFrame_ = false;
    update();
}

Viewport TreeView3D::ViewSize() const {
    return {static_cast<double>(std::max(width(), 1)), static_cast<double>(std::max(height(), 1))};
}

void TreeView3D::FailWith(const QString& trouble) {
    trouble_ = trouble;
    gl_ = nullptr;
    emit Changed();
}

void TreeView3D::initializeGL() {
    const QSurfaceFormat format = context()->format();
    if (format.version() < qMakePair(3, 3)) {
        FailWith(tr("The 3-D view needs OpenGL 3.3, and this display offers %1.%2.")
                     .arg(format.majorVersion())
                     .arg(format.minorVersion()));
        return;
    }
    gl_ = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_3_3_Core>(context());
    if (gl_ == nullptr || !gl_->initializeOpenGLFunctions()) {
        FailWith(tr("The 3-D view needs OpenGL 3.3 core, which this display does not offer."));
        return;
    }
    Build();
}

void TreeView3D::Build() {
    const auto compile = [this](GLenum stage, const std::string& source) {
        const GLuint shader = gl_->glCreateShader(stage);
        const char* text = source.c_str();
        gl_->glShaderSource(shader, 1, &text, nullptr);
        gl_->glCompileShader(shader);
        GLint compiled = 0;
        gl_->glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
        if (compiled == 0) {
            char log[1024] = {};
            gl_->glGetShaderInfoLog(shader, sizeof log, nullptr, log);
            qWarning("arbolith: a 3-D shader did not compile: %s", log);
        }
        return shader;
    };
    const GLuint vertex = compile(GL_VERTEX_SHADER, VertexShader(GlslDialect::Core330));
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, FragmentShader(GlslDialect::Core330));
    program_ = gl_->glCreateProgram();
    gl_->glAttachShader(program_, vertex);
    gl_->glAttachShader(program_, fragment);
    gl_->glLinkProgram(program_);
    gl_->glDeleteShader(vertex);
    gl_->glDeleteShader(fragment);
    GLint linked = 0;
    gl_->glGetProgramiv(program_, GL_LINK_STATUS, &linked);
    if (linked == 0) {
        FailWith(tr("The 3-D view's shaders did not build on this display's OpenGL."));
        return;
    }
    viewMatrix_ = gl_->glGetUniformLocation(program_, "viewMatrix");
    projectionMatrix_ = gl_->glGetUniformLocation(program_, "projectionMatrix");
    barkColour_ = gl_->glGetUniformLocation(program_, "barkColour");
    skyUp_ = gl_->glGetUniformLocation(program_, "skyUp");

    ribbons_ = gl_->glGetUniformLocation(program_, "ribbons");
    eye_ = gl_->glGetUniformLocation(program_, "eye");
    first_ = gl_->glGetUniformLocation(program_, "first");
    // The shaders take no vertex attributes, but a core profile draws only with an array bound.
    gl_->glGenVertexArrays(1, &noAttributes_);
    gl_->glGenTextures(1, &recordTexture_);
    gl_->glBindTexture(GL_TEXTURE_2D, recordTexture_);
    gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    GLint rows = 0;
    gl_->glGetIntegerv(GL_MAX_TEXTURE_SIZE, &rows);
    mostRecords_ = static_cast<std::uint64_t>(std::max(rows, 1)) * kRecordsPerTextureRow;
}

void TreeView3D::DrawShape(std::uint64_t first, std::uint64_t count, std::size_t vertices,
                           bool ribbons) {
    if (count == 0) {
        return;
    }
    gl_->glUniform1i(first_, static_cast<GLint>(first));
    gl_->glUniform1i(ribbons_, ribbons ? 1 : 0);
    gl_->glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(count * vertices));
}

void TreeView3D::Upload() {
    gl_->glBindTexture(GL_TEXTURE_2D, recordTexture_);
    if (refill_) {
        // The whole tree's room at once, so that streaming never copies what is there.
        // As many as the largest texture holds; a larger tree shows its first branches.
        capacity_ = std::clamp<std::uint64_t>(expected_, 1, mostRecords_);
        const auto rows =
            static_cast<GLsizei>((capacity_ + kRecordsPerTextureRow - 1) / kRecordsPerTextureRow);
        gl_->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, kRecordTextureWidth, rows, 0, GL_RGBA,
                          GL_FLOAT, nullptr);
        solidCount_ = 0;
        ribbonCount_ = 0;
        refill_ = false;
    }
    // Row by row: a run of records from `at` on.
    const auto put = [this](std::uint64_t at, const BranchRecord* records, std::uint64_t count) {
        while (count > 0) {
            const std::uint64_t row = at / kRecordsPerTextureRow;
            const std::uint64_t column = at % kRecordsPerTextureRow;
            const std::uint64_t run = std::min(count, kRecordsPerTextureRow - column);
            gl_->glTexSubImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(2 * column),
                                 static_cast<GLint>(row), static_cast<GLsizei>(2 * run), 1, GL_RGBA,
                                 GL_FLOAT, records);
            at += run;
            records += run;
            count -= run;
        }
    };
    const std::uint64_t solids =
        std::min<std::uint64_t>(pendingSolids_.size(), capacity_ - solidCount_ - ribbonCount_);
    if (solids > 0) {
        put(solidCount_, pendingSolids_.data(), solids);
        solidCount_ += solids;
    }
    const std::uint64_t ribbons =
        std::min<std::uint64_t>(pendingRibbons_.size(), capacity_ - solidCount_ - ribbonCount_);
    if (ribbons > 0) {
        // Backward from the end: the newest ribbons go before the older ones.
        put(capacity_ - ribbonCount_ - ribbons, pendingRibbons_.data(), ribbons);
        ribbonCount_ += ribbons;
    }
    pendingSolids_ = {};
    pendingRibbons_ = {};
}

void TreeView3D::paintGL() {
    if (gl_ == nullptr) {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, trouble_);
        return;
    }
    Upload();
    const auto& sky = kSkyBackground;
    gl_->glClearColor(sky[0], sky[1], sky[2], 1);
    gl_->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (solidCount_ + ribbonCount_ == 0) {
        return;
    }
    gl_->glEnable(GL_DEPTH_TEST);
    gl_->glEnable(GL_CULL_FACE);
    gl_->glUseProgram(program_);
    const Matrix4 view = camera_.ViewMatrix();
    const Matrix4 projection = camera_.ProjectionMatrix(ViewSize(), bounds_);
    gl_->glUniformMatrix4fv(viewMatrix_, 1, GL_FALSE, view.data());
    gl_->glUniformMatrix4fv(projectionMatrix_, 1, GL_FALSE, projection.data());
    const std::array<float, 3> bark = BarkColour();
    gl_->glUniform3f(barkColour_, bark[0], bark[1], bark[2]);
    gl_->glUniform3f(skyUp_, view[1], view[5], view[9]);
    const Vec3 eye = camera_.Eye();
    gl_->glUniform3f(eye_, static_cast<float>(eye[0]), static_cast<float>(eye[1]),
                     static_cast<float>(eye[2]));
    gl_->glActiveTexture(GL_TEXTURE0);
    gl_->glBindTexture(GL_TEXTURE_2D, recordTexture_);
    gl_->glBindVertexArray(noAttributes_);
    DrawShape(0, solidCount_, kPrismIndices, false);
    DrawShape(capacity_ - ribbonCount_, ribbonCount_, kRibbonIndices, true);
    gl_->glBindVertexArray(0);
}

void TreeView3D::resizeEvent(QResizeEvent* event) {
    QOpenGLWidget::resizeEvent(event);
    if (autoFrame_) {
        camera_.Frame(bounds_, ViewSize());
    }
}

void TreeView3D::mousePressEvent(QMouseEvent* event) {
    last_ = event->position().toPoint();
    dragging_ = event->button();
}

void TreeView3D::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const QPoint moved = at - last_;
    last_ = at;
    if (dragging_ == Qt::LeftButton) {
        camera_.Orbit(moved.x(), moved.y());
    } else if (dragging_ == Qt::RightButton || dragging_ == Qt::MiddleButton) {
        camera_.Pan(moved.x(), moved.y(), ViewSize());
    } else {
        return;
    }
    autoFrame_ = false;
    update();
}

void TreeView3D::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = Qt::NoButton;
}

void TreeView3D::mouseDoubleClickEvent(QMouseEvent*) {
    FrameTree();
}

void TreeView3D::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    const QPointF at = event->position();
    camera_.Zoom(std::pow(kZoomPerNotch, notches), {at.x(), at.y()}, ViewSize());
    autoFrame_ = false;
    update();
}

void TreeView3D::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Home) {
        FrameTree();
        return;
    }
    QOpenGLWidget::keyPressEvent(event);
}

} // namespace arbolith
