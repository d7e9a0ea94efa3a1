#include "ui/qt/TreeCanvas.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QWheelEvent>

#include "ui/DialogLayout.h"

namespace arbolith {

namespace {

constexpr QSize kPictureSize(kCanvasWidth, kCanvasHeight);
constexpr QSize kBorders(2 * TreeCanvas::kBorder, 2 * TreeCanvas::kBorder);
// The scales zooming steps through: below 1 a picture is scaled down, above it magnified.
constexpr std::array kZoomSteps{0.25, 1.0 / 3, 0.5, 1.0, 2.0, 3.0, 4.0, 6.0, 8.0, 12.0, 16.0};
// A wheel's notch, in its eighths of a degree; a pinch's step, in its scale's change.
constexpr int kWheelStep = 120;
constexpr double kPinchStep = 0.25;

} // namespace

QImage ShownPicture(const QImage& picture, QSize size) {
    if (size == picture.size()) {
        return picture;
    }
    if (size.width() % picture.width() == 0 && size.height() % picture.height() == 0 &&
        size.width() / picture.width() == size.height() / picture.height()) {
        // Each picture pixel a block of whole pixels: the saved picture, magnified.
        return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    // Qt's smooth scaling averages the pixels each shown pixel covers when it shrinks, so thin
    // branches fade rather than vanish.
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

double FittingScale(QSize picture, QSize room) {
    const int whole = std::min({room.width() / picture.width(), room.height() / picture.height(),
                                TreeCanvas::kLargestZoom});
    if (whole >= 1) {
        return whole;
    }
    return std::min(static_cast<double>(room.width()) / picture.width(),
                    static_cast<double>(room.height()) / picture.height());
}

TreeCanvas::TreeCanvas(QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(kCanvasCaption));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_AcceptTouchEvents);
    setCursor(Qt::ArrowCursor);
    // A click gives the canvas the keyboard, so that Home reaches it; Tab passes it by.
    setFocusPolicy(Qt::ClickFocus);
    frontView_ = new QAction(tr("Front view"), this);
    frontView_->setObjectName(QStringLiteral("frontView"));
    frontView_->setShortcut(Qt::Key_Home);
    frontView_->setShortcutContext(Qt::WidgetShortcut);
    addAction(frontView_);
    connect(frontView_, &QAction::triggered, this, &TreeCanvas::FrontViewAsked);

    const auto zoomAction = [this](const char* name, const QString& text,
                                   const QList<QKeySequence>& keys, auto does) {
        auto* action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, does);
        zoomActions_.append(action);
    };
    zoomAction("zoomIn", tr("Zoom &In"),
               {QKeySequence(QStringLiteral("Ctrl++")), QKeySequence(QStringLiteral("Ctrl+="))},
               [this] { ZoomBy(1); });
    zoomAction("zoomOut", tr("Zoom &Out"), {QKeySequence(QStringLiteral("Ctrl+-"))},
               [this] { ZoomBy(-1); });
    zoomAction("fitRoom", tr("&Fit the Window"), {QKeySequence(QStringLiteral("Ctrl+0"))},
               [this] { FitRoom(); });
    // Ctrl+1 to Ctrl+3 switch between the picture and the 3-D view.
    zoomAction("actualPixels", tr("&Actual Pixels"), {QKeySequence(QStringLiteral("Ctrl+Alt+0"))},
               [this] { ShowActualPixels(); });
}

QList<QAction*> TreeCanvas::ViewActions() const {
    return QList<QAction*>{frontView_} + zoomActions_;
}

void TreeCanvas::mousePressEvent(QMouseEvent* event) {
    const bool pan = event->button() == Qt::MiddleButton ||
                     (event->button() == Qt::LeftButton && event->modifiers() & Qt::ShiftModifier);
    if (pan) {
        panning_ = true;
        pannedFrom_ = event->position();
        setCursor(Qt::SizeAllCursor);
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    pressedAt_ = event->position().toPoint();
    dragging_ = true;
    setCursor(Qt::ClosedHandCursor);
    emit DragStarted();
}

void TreeCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (panning_) {
        Pan(event->position() - pannedFrom_);
        pannedFrom_ = event->position();
        return;
    }
    if (dragging_ && (event->buttons() & Qt::LeftButton) != 0) {
        emit Dragged(event->position().toPoint() - pressedAt_);
    }
}

void TreeCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (panning_ && (event->buttons() & (Qt::MiddleButton | Qt::LeftButton)) == 0) {
        panning_ = false;
        setCursor(Qt::ArrowCursor);
    }
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        setCursor(Qt::ArrowCursor);
    }
}

void TreeCanvas::wheelEvent(QWheelEvent* event) {
    wheelRest_ += event->angleDelta().y();
    const int steps = wheelRest_ / kWheelStep;
    wheelRest_ -= steps * kWheelStep;
    if (steps != 0) {
        ZoomBy(steps, event->position());
    }
    event->accept();
}

bool TreeCanvas::event(QEvent* event) {
    if (event->type() == QEvent::NativeGesture) {
        const auto* gesture = static_cast<QNativeGestureEvent*>(event);
        if (gesture->gestureType() == Qt::ZoomNativeGesture) {
            pinchRest_ += gesture->value();
            const int steps = static_cast<int>(pinchRest_ / kPinchStep);
            pinchRest_ -= steps * kPinchStep;
            if (steps != 0) {
                ZoomBy(steps, gesture->position());
            }
            return true;
        }
    }
    return QWidget::event(event);
}

void TreeCanvas::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addActions(ViewActions());
    menu.exec(event->globalPos());
}

void TreeCanvas::SetPicture(const QImage& picture) {
    picture_ = picture;
    scaled_ = QImage();
    update();
}

QSize TreeCanvas::sizeHint() const {
    return kPictureSize + kBorders;
}

QSize TreeCanvas::minimumSizeHint() const {
    return kPictureSize / 2 + kBorders;
}

QSize TreeCanvas::Room() const {
    return size() - kBorders;
}

double TreeCanvas::Scale() const {
    return zoom_ ? *zoom_ : FittingScale(kPictureSize, Room());
}

QRect TreeCanvas::PictureRect() const {
    const double scale = Scale();
    const QSize shown(static_cast<int>(std::lround(kPictureSize.width() * scale)),
                      static_cast<int>(std::lround(kPictureSize.height() * scale)));
    const QPointF middle((width() - shown.width()) / 2, (height() - shown.height()) / 2);
    return {(middle + pan_).toPoint(), shown};
}

void TreeCanvas::ClampPan() {
    const QRect shown = PictureRect().translated(-pan_.toPoint());
    const auto clamp = [](double pan, int start, int length, int room) {
        // Centred where it fits; otherwise its edges stay at or beyond the room's.
        if (length <= room) {
            return 0.0;
        }
        return std::clamp(pan, static_cast<double>(kBorder + room - length - start),
                          static_cast<double>(kBorder - start));
    };
    pan_ = {clamp(pan_.x(), shown.left(), shown.width(), Room().width()),
            clamp(pan_.y(), shown.top(), shown.height(), Room().height())};
}

void TreeCanvas::ZoomBy(int steps, QPointF about) {
    const double from = Scale();
    double to = from;
    if (steps > 0) {
        const auto next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), from + 1e-9);
        to = next == kZoomSteps.end() ? kZoomSteps.back() : *next;
        for (int i = 1; i < steps && next + i < kZoomSteps.end(); ++i) {
            to = *(next + i);
        }
    } else if (steps < 0) {
        auto below = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), from - 1e-9);
        for (int i = 0; i < -steps && below != kZoomSteps.begin(); ++i) {
            --below;
        }
        to = *below;
    }
    // The picture's point under `about` stays there.
    const QPointF point = (about - PictureRect().topLeft()) / from;
    zoom_ = to;
    scaled_ = QImage();
    const QRect moved = PictureRect();
    pan_ += about - (moved.topLeft() + point * to);
    ClampPan();
    update();
}

void TreeCanvas::FitRoom() {
    zoom_.reset();
    pan_ = {};
    scaled_ = QImage();
    update();
}

void TreeCanvas::ShowActualPixels() {
    zoom_ = 1.0;
    pan_ = {};
    scaled_ = QImage();
    update();
}

void TreeCanvas::Pan(QPointF offset) {
    pan_ += offset;
    ClampPan();
    update();
}

void TreeCanvas::resizeEvent(QResizeEvent* event) {
    ClampPan();
    QWidget::resizeEvent(event);
}

void TreeCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // Scaling to the device's pixels takes the nearest picture pixel: at 2x each pixel becomes
    // a sharp 2x2 block instead of a blur, and what is seen is exactly what is saved.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect inside = PictureRect();
    const QRect framed = inside.adjusted(-kBorder, -kBorder, kBorder, kBorder);
    painter.setClipRegion(QRegion(rect()).subtracted(framed));
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setClipping(false);
    const double scale = Scale();
    if (picture_.isNull()) {
        // The window colour, as the canvas's class background gives before any run.
        painter.fillRect(inside, palette().color(QPalette::Base));
    } else if (inside.size() == picture_.size()) {
        const QRect area = event->rect() & inside;
        painter.drawImage(area, picture_, area.translated(-inside.topLeft()));
    } else if (scale >= 1) {
        // Whole pixels: only the part in view is magnified.
        const QRect area = event->rect() & inside;
        const QRectF source(QPointF(area.topLeft() - inside.topLeft()) / scale,
                            QSizeF(area.size()) / scale);
        painter.drawImage(QRectF(area), picture_, source);
    } else {
        const qreal ratio = devicePixelRatioF();
        const QSize pixels = (QSizeF(inside.size()) * ratio).toSize();
        if (scaled_.size() != pixels) {
            scaled_ = ShownPicture(picture_, pixels);
            scaled_.setDevicePixelRatio(ratio);
        }
        painter.drawImage(inside.topLeft(), scaled_);
    }
    // Filled edges rather than a stroked outline: a stroke straddles pixel boundaries and would
    // bleed into the picture at a fractional or doubled device pixel ratio.
    const QColor border = palette().color(QPalette::WindowText);
    painter.fillRect(framed.left(), framed.top(), framed.width(), kBorder, border);
    painter.fillRect(framed.left(), framed.bottom(), framed.width(), kBorder, border);
    painter.fillRect(framed.left(), framed.top(), kBorder, framed.height(), border);
    painter.fillRect(framed.right(), framed.top(), kBorder, framed.height(), border);
}

} // namespace arbolith
