#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QPointF>
#include <QWidget>

#include <optional>

class QAction;

namespace arbolith {

// The picture as a canvas shows it at `size`: a whole multiple of its own size pixel for pixel,
// each picture pixel a sharp block; any other size scaled as a whole, each shown pixel the
// average of the picture's pixels it covers.
QImage ShownPicture(const QImage& picture, QSize size);

// The scale the canvas shows a picture at where it follows the room: the largest whole number of
// screen pixels a picture pixel that fits (at most kLargestZoom), or less than one, keeping the
// picture's shape, where even its own size does not fit.
double FittingScale(QSize picture, QSize room);

// The canvas beside the fields: the whole picture of the last run, with a one-pixel border outside
// it, in the middle of the room the window gives it. It shows the picture as large as the room
// holds it whole, a whole number of screen pixels a picture pixel, so that at its own size what
// is shown is exactly what is saved and larger it is that picture magnified; where the room is
// smaller it scales the picture down to fit. The wheel, a pinch and the View menu's keys zoom in
// and out in whole steps about the pointer, and a drag with the middle button (or with Shift)
// moves a picture larger than the room; Ctrl+0 follows the room again. It keeps that picture and
// repaints it whenever it is uncovered; before the first run it shows the window colour. Dragging
// on it with the left button asks to turn the view, and Home (or "Front view" in its context
// menu) to bring back the front.
class TreeCanvas : public QWidget {
    Q_OBJECT

public:
    explicit TreeCanvas(QWidget* parent = nullptr);

    // The border lies outside the picture's pixels.
    static constexpr int kBorder = 1;
    static constexpr int kLargestZoom = 16;

    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }
    bool HasPicture() const { return !picture_.isNull(); }
    // Where the picture is shown, inside the border; it may reach beyond the canvas when zoomed.
    QRect PictureRect() const;
    // Shown pixels a picture pixel.
    double Scale() const;
    // Whether the scale follows the room, rather than one chosen by zooming.
    bool FollowsRoom() const { return !zoom_.has_value(); }
    // Zooms `steps` whole steps in (or out, below 0), keeping the picture's point under `about`.
    void ZoomBy(int steps, QPointF about);
    void ZoomBy(int steps) { ZoomBy(steps, QRectF(rect()).center()); }
    // Follows the room again.
    void FitRoom();
    // Shows the picture at its own size, exactly the saved pixels.
    void ShowActualPixels();
    // Moves a picture larger than the room by `offset` screen pixels.
    void Pan(QPointF offset);

    QAction* FrontViewAction() const { return frontView_; }
    // Front view, then the zoom's entries, for the View menu.
    QList<QAction*> ViewActions() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The left button went down on the canvas.
    void DragStarted();
    // The mouse has moved by `offset` pixels since the left button went down.
    void Dragged(QPoint offset);
    void FrontViewAsked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QSize Room() const;
    // Keeps a picture larger than the room covering it, a smaller one in its middle.
    void ClampPan();

    QImage picture_;
    // The picture as last shown scaled down, kept until the picture or the size changes.
    QImage scaled_;
    // A scale chosen by zooming; none while the scale follows the room.
    std::optional<double> zoom_;
    // How far the picture lies from the middle of the room.
    QPointF pan_;
    QPoint pressedAt_;
    bool dragging_ = false;
    bool panning_ = false;
    QPointF pannedFrom_;
    // Wheel and pinch amounts not yet a whole step.
    int wheelRest_ = 0;
    double pinchRest_ = 0;
    QAction* frontView_ = nullptr;
    QList<QAction*> zoomActions_;
};

} // namespace arbolith
