#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

class QAction;

namespace arbolith {

// The picture as a canvas of `size` shows it: itself where it fits, else scaled down as a whole,
// each shown pixel the average of the picture's pixels it covers.
QImage ShownPicture(const QImage& picture, QSize size);

// The canvas beside the fields: the whole picture of the last run, with a one-pixel border outside
// it, in the middle of the room the window gives it. It shows a picture pixel a screen pixel where
// it fits, so that what is shown is exactly what is saved, and scales it down to fit otherwise. It
// keeps that picture and repaints it whenever it is uncovered; before the first run it shows the
// window colour. Dragging on it with the left button asks to turn the view, and Home (or "Front
// view" in its context menu) to bring back the front.
class TreeCanvas : public QWidget {
    Q_OBJECT

public:
    explicit TreeCanvas(QWidget* parent = nullptr);

    // The border lies outside the picture's pixels.
    static constexpr int kBorder = 1;

    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }
    bool HasPicture() const { return !picture_.isNull(); }
    // Where the picture is shown, inside the border; its size is the picture's at a scale of 1.
    QRect PictureRect() const;
    // Shown pixels a picture pixel: 1 where the whole picture fits, less where it does not.
    double Scale() const;
    QAction* FrontViewAction() const { return frontView_; }

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
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QImage picture_;
    // The picture as last shown scaled down, kept until the picture or the size changes.
    QImage scaled_;
    QPoint pressedAt_;
    bool dragging_ = false;
    QAction* frontView_ = nullptr;
};

} // namespace arbolith
