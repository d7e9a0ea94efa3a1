#include "ui/qt/TreeViews.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QOpenGLContext>
#include <QToolButton>

#include "ui/qt/TreeCanvas.h"
#include "ui/qt/TreeView3D.h"

namespace arbolith {

TreeViews::TreeViews(TreeCanvas* canvas, QWidget* parent) : QStackedWidget(parent) {
    addWidget(canvas);
    trouble_ = new QLabel(this);
    trouble_->setAlignment(Qt::AlignCenter);
    trouble_->setWordWrap(true);
    addWidget(trouble_);

    switch_ = new QWidget;
    auto* row = new QHBoxLayout(switch_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    const auto button = [this, row](const QString& text, const QString& tip) {
        auto* b = new QToolButton(switch_);
        b->setText(text);
        b->setToolTip(tip);
        // Tab keeps to the template's order and the second; Ctrl+1 to Ctrl+3 reach these.
        b->setFocusPolicy(Qt::NoFocus);
        row->addWidget(b);
        return b;
    };
    picture_ = button(tr("Picture"), tr("The picture, as saved (Ctrl+1)"));
    scene_ = button(tr("3-D"), tr("The tree in 3-D: drag to orbit, wheel to zoom, right-drag to "
                                  "pan, double-click or Home to frame it (Ctrl+2)"));
    fromHere_ = button(tr("Picture from here"),
                       tr("Draw the picture from the 3-D view's direction (Ctrl+3)"));
    picture_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    scene_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_2));
    fromHere_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_3));
    for (QToolButton* b : {picture_, scene_}) {
        b->setCheckable(true);
        b->setAutoRaise(true);
    }
    auto* group = new QButtonGroup(this);
    group->addButton(picture_);
    group->addButton(scene_);
    picture_->setChecked(true);
    fromHere_->setEnabled(false);
    connect(picture_, &QToolButton::clicked, this, &TreeViews::ShowPicture);
    connect(scene_, &QToolButton::clicked, this, &TreeViews::Show3D);
    connect(fromHere_, &QToolButton::clicked, this, [this] {
        const ViewAngles view = view3d_->Camera().PictureView();
        ShowPicture();
        emit PictureViewAsked(view);
    });
}

bool TreeViews::Make3D() {
    if (view3d_ != nullptr) {
        return true;
    }
    // A window holding an OpenGL widget on a screen without OpenGL does not survive being shown:
    // the view is made only where a context of the version it needs can be had.
    QOpenGLContext probe;
    probe.setFormat(TreeView3D::Format());
    if (!probe.create() || probe.format().version() < qMakePair(3, 3)) {
        trouble_->setText(tr("The 3-D view needs OpenGL 3.3, which this display does not offer."));
        return false;
    }
    view3d_ = new TreeView3D(this);
    insertWidget(1, view3d_);
    connect(view3d_, &TreeView3D::Changed, this, [this] {
        if (!view3d_->Trouble().isEmpty()) {
            trouble_->setText(view3d_->Trouble());
            ShowTrouble();
        }
        emit Changed();
    });
    return true;
}

void TreeViews::ShowPicture() {
    picture_->setChecked(true);
    fromHere_->setEnabled(false);
    Stop();
    setCurrentIndex(0);
    emit Changed();
}

void TreeViews::Show3D() {
    scene_->setChecked(true);
    if (!Make3D() || !view3d_->Trouble().isEmpty()) {
        ShowTrouble();
        emit Changed();
        return;
    }
    setCurrentWidget(view3d_);
    view3d_->setFocus();
    fromHere_->setEnabled(true);
    if (tree_) {
        view3d_->ShowTree(*tree_);
    }
    emit Changed();
}

bool TreeViews::Showing3D() const {
    return currentIndex() != 0;
}

bool TreeViews::Growing3D() const {
    return view3d_ != nullptr && currentWidget() == view3d_ && view3d_->Going();
}

void TreeViews::ShowTrouble() {
    fromHere_->setEnabled(false);
    Stop();
    setCurrentWidget(trouble_);
}

QString TreeViews::Trouble() const {
    return currentWidget() == trouble_ ? trouble_->text() : QString();
}

void TreeViews::SetTree(const TreeOrder& order) {
    tree_ = order;
    if (view3d_ != nullptr && currentWidget() == view3d_) {
        view3d_->ShowTree(order);
    }
}

void TreeViews::Stop() {
    if (view3d_ != nullptr) {
        view3d_->Stop();
    }
}

} // namespace arbolith
