#pragma once

#include <QImage>
#include <QWidget>

namespace arbolith {

// The canvas beside the fields: a one-pixel border round the picture of the last run. It keeps
// that picture and repaints it whenever it is uncovered; before the first run it shows the
// window colour.
class TreeCanvas : public QWidget {
    Q_OBJECT

public:
    explicit TreeCanvas(QWidget* parent = nullptr);

    // The picture's pixels sit inside the border: image pixel (0, 0) is the canvas's (1, 1).
    static constexpr int kBorder = 1;

    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }
    bool HasPicture() const { return !picture_.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

} // namespace arbolith
