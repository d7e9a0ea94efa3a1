#include "ui/qt/TreeCanvas.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include "ui/DialogLayout.h"

namespace arbolith {

namespace {

constexpr QSize kPictureSize(kCanvasWidth, kCanvasHeight);
constexpr QSize kBorders(2 * TreeCanvas::kBorder, 2 * TreeCanvas::kBorder);

} // namespace

QImage ShownPicture(const QImage& picture, QSize size) {
    if (size == picture.size()) {
        return picture;
    }
    // Qt's smooth scaling averages the pixels each shown pixel covers when it shrinks, so thin
    // branches fade rather than vanish.
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

TreeCanvas::TreeCanvas(QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(kCanvasCaption));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
    // A click gives the canvas the keyboard, so that Home reaches it; Tab passes it by.
    setFocusPolicy(Qt::ClickFocus);
    frontView_ = new QAction(tr("Front view"), this);
    frontView_->setObjectName(QStringLiteral("frontView"));
    frontView_->setShortcut(Qt::Key_Home);
    frontView_->setShortcutContext(Qt::WidgetShortcut);
    addAction(frontView_);
    connect(frontView_, &QAction::triggered, this, &TreeCanvas::FrontViewAsked);
}

void TreeCanvas::mousePressEvent(QMouseEvent* event) {
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
    if (dragging_ && (event->buttons() & Qt::LeftButton) != 0) {
        emit Dragged(event->position().toPoint() - pressedAt_);
    }
}

void TreeCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        setCursor(Qt::ArrowCursor);
    }
}

void TreeCanvas::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(frontView_);
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

QRect TreeCanvas::PictureRect() const {
    const QSize room = size() - kBorders;
    const QSize shown =
        room.width() >= kPictureSize.width() && room.height() >= kPictureSize.height()
            ? kPictureSize
            : kPictureSize.scaled(room, Qt::KeepAspectRatio);
    return {QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown};
}

double TreeCanvas::Scale() const {
    return static_cast<double>(PictureRect().width()) / kPictureSize.width();
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
    if (picture_.isNull()) {
        // The window colour, as the canvas's class background gives before any run.
        painter.fillRect(inside, palette().color(QPalette::Base));
    } else if (inside.size() == picture_.size()) {
        const QRect area = event->rect() & inside;
        painter.drawImage(area, picture_, area.translated(-inside.topLeft()));
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
