#include "ui/qt/TreeViews.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

#include "ui/qt/TreeCanvas.h"
#include "ui/qt/TreeView3D.h"

namespace arbolith {

TreeViews::TreeViews(TreeCanvas* canvas, QWidget* parent) : QStackedWidget(parent) {
    addWidget(canvas);
    view3d_ = new TreeView3D(this);
    addWidget(view3d_);
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
    connect(view3d_, &TreeView3D::Changed, this, [this] {
        if (!view3d_->Trouble().isEmpty()) {
            ShowTrouble();
        }
        emit Changed();
    });
}

void TreeViews::ShowPicture() {
    picture_->setChecked(true);
    fromHere_->setEnabled(false);
    view3d_->Stop();
    setCurrentIndex(0);
    emit Changed();
}

void TreeViews::Show3D() {
    scene_->setChecked(true);
    setCurrentIndex(1);
    view3d_->setFocus();
    fromHere_->setEnabled(true);
    if (tree_) {
        view3d_->ShowTree(*tree_);
    }
    // The context is made once the view is first painted; without one there is no OpenGL at all.
    QTimer::singleShot(0, this, [this] {
        if (Showing3D() && !Trouble().isEmpty()) {
            view3d_->Stop();
            ShowTrouble();
        }
    });
    emit Changed();
}

void TreeViews::ShowTrouble() {
    trouble_->setText(Trouble());
    fromHere_->setEnabled(false);
    if (Showing3D()) {
        setCurrentWidget(trouble_);
    }
}

QString TreeViews::Trouble() const {
    if (!view3d_->Trouble().isEmpty()) {
        return view3d_->Trouble();
    }
    return view3d_->isValid() ? QString()
                              : tr("The 3-D view needs OpenGL 3.3, and this display has none.");
}

void TreeViews::SetTree(const TreeOrder& order) {
    tree_ = order;
    if (currentIndex() == 1) {
        view3d_->ShowTree(order);
    }
}

void TreeViews::Stop() {
    view3d_->Stop();
}

} // namespace arbolith
