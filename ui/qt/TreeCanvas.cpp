#include "ui/qt/TreeCanvas.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "ui/DialogLayout.h"

namespace arbolith {

TreeCanvas::TreeCanvas(QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(kCanvasCaption));
    // The frame lies outside the picture, which keeps the template's place and its every pixel.
    setGeometry(kCanvasX - kBorder, kCanvasY - kBorder, kCanvasWidth + 2 * kBorder,
                kCanvasHeight + 2 * kBorder);
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
    update();
}

void TreeCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // Scaling to the device's pixels takes the nearest picture pixel: at 2x each pixel becomes
    // a sharp 2x2 block instead of a blur, and what is seen is exactly what is saved.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect inside = rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);
    if (picture_.isNull()) {
        // The window colour, as the canvas's class background gives before any run.
        painter.fillRect(inside, palette().color(QPalette::Base));
    } else {
        const QRect area = event->rect() & inside;
        painter.drawImage(area, picture_, area.translated(-kBorder, -kBorder));
    }
    // Filled edges rather than a stroked outline: a stroke straddles pixel boundaries and would
    // bleed into the picture at a fractional or doubled device pixel ratio.
    const QColor border = palette().color(QPalette::WindowText);
    painter.fillRect(0, 0, width(), kBorder, border);
    painter.fillRect(0, height() - kBorder, width(), kBorder, border);
    painter.fillRect(0, 0, kBorder, height(), border);
    painter.fillRect(width() - kBorder, 0, kBorder, height(), border);
}

} // namespace arbolith
