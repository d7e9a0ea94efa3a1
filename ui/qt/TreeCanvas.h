#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

class QAction;

namespace arbolith {

// The canvas beside the fields: the whole picture of the last run, at the template's place, with
// a one-pixel border outside it. It keeps that picture and repaints it whenever it is uncovered;
// before the first run it shows the window colour. Dragging on it with the left button asks to turn
// the view, and Home (or "Front view" in its context menu) to bring back the front.
class TreeCanvas : public QWidget {
    Q_OBJECT

public:
    explicit TreeCanvas(QWidget* parent = nullptr);

    // The picture's pixels sit inside the border: image pixel (0, 0) is the canvas's (1, 1), and
    // the canvas is the picture's size and the border's on each side.
    static constexpr int kBorder = 1;

    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }
    bool HasPicture() const { return !picture_.isNull(); }

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
    QPoint pressedAt_;
    bool dragging_ = false;
    QAction* frontView_ = nullptr;
};

} // namespace arbolith
