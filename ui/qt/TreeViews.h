#pragma once

#include <QStackedWidget>

#include <optional>

#include "tree/TreeOrder.h"

class QLabel;
class QToolButton;

namespace arbolith {

class TreeCanvas;
class TreeView3D;

// Where the canvas stands: the picture, the default, or the tree in 3-D, with the switch between
// them and "Picture from here", which turns the 3-D view's direction into the picture's view.
// The 3-D view grows its records only while it is shown, and where OpenGL 3.3 is missing it says
// so in one line while the picture works on.
class TreeViews : public QStackedWidget {
    Q_OBJECT

public:
    TreeViews(TreeCanvas* canvas, QWidget* parent = nullptr);

    // The switch's buttons, for the line below the canvas.
    QWidget* Switch() const { return switch_; }
    // None until the 3-D view is first shown, nor where OpenGL 3.3 is missing.
    TreeView3D* View3D() const { return view3d_; }
    // The 3-D page is shown: the view, or the line that says why it cannot be.
    bool Showing3D() const;
    // The 3-D view is shown and its tree still grows.
    bool Growing3D() const;
    void ShowPicture();
    void Show3D();
    // The tree the picture draws now; the 3-D view shows it too while it is shown.
    void SetTree(const TreeOrder& order);
    // Stops the 3-D view's growth.
    void Stop();
    // The one line shown in the 3-D view's place where it cannot be; empty otherwise.
    QString Trouble() const;

signals:
    void PictureViewAsked(ViewAngles view);
    // The 3-D view's growth made progress or ended, or the page changed.
    void Changed();

private:
    bool Make3D();
    void ShowTrouble();

    TreeView3D* view3d_ = nullptr;
    QLabel* trouble_ = nullptr;
    QWidget* switch_ = nullptr;
    QToolButton* picture_ = nullptr;
    QToolButton* scene_ = nullptr;
    QToolButton* fromHere_ = nullptr;
    std::optional<TreeOrder> tree_;
};

} // namespace arbolith
