#include "ui/qt/TreeDialog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>

#include "tree/Clock.h"
#include "tree/ExampleTree.h"
#include "ui/DialogLayout.h"
#include "ui/FieldText.h"
#include "ui/FieldTexts.h"
#include "ui/ViewDrag.h"
#include "ui/qt/StatusText.h"
#include "ui/qt/TreeCanvas.h"
#include "ui/qt/TreeDrawing.h"
#include "ui/qt/TreeSaving.h"

namespace arbolith {

namespace {

// How long Exit waits for a stopped run's thread before ending the process regardless.
constexpr int kQuitWaitMilliseconds = 3000;
constexpr int kProgressSteps = 1000;

QWidget* CreateControl(const DialogControl& control, QWidget* parent) {
    switch (control.kind) {
    case ControlKind::InputField:
        return new QLineEdit(parent);
    case ControlKind::DefaultButton:
    case ControlKind::PushButton: {
        auto* button = new QPushButton(QString::fromLatin1(control.text), parent);
        button->setDefault(control.kind == ControlKind::DefaultButton);
        return button;
    }
    case ControlKind::Label: {
        auto* label = new QLabel(QString::fromLatin1(control.text), parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::Picture: {
        // Bitmap 102 at its own size, neither stretched nor shrunk, in a sunken frame.
        auto* picture = new QLabel(parent);
        picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        const QPixmap bitmap(QStringLiteral(":/arbolith/picture.bmp"));
        if (!bitmap.isNull()) {
            picture->setPixmap(bitmap);
        }
        return picture;
    }
    }
    return nullptr;
}

} // namespace

TreeDialog::TreeDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(kDialogHeader.title));
    // The program's one window: a normal top-level one with a place in the task bar, yet
    // topmost, as a system-modal template makes it.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    setFont(DialogFont());
    units_ = BaseUnitsOf(font());
    CreateControls();
    CreateShortcuts();
    FillExampleValues();
    saving_ = new TreeSaving(this);
    connect(saving_, &TreeSaving::Said, status_, &QLabel::setText);
    connect(saving_, &TreeSaving::Failed, this,
            [this](const QString& message) { QMessageBox::warning(this, windowTitle(), message); });
    connect(saving_, &TreeSaving::Ended, this, &TreeDialog::SaveEnded);
    ShowProgress();
}

TreeDialog::~TreeDialog() = default;

void TreeDialog::CreateControls() {
    // Template order is creation order, and creation order is Qt's tab order.
    for (const DialogControl& control : kDialogControls) {
        QWidget* widget = CreateControl(control, this);
        widget->setObjectName(QString::number(control.id));
        widget->setGeometry(
            DialogRectToPixels(units_, control.x, control.y, control.width, control.height));
        if (control.kind == ControlKind::Picture) {
            // A bitmap control takes the size of its bitmap, whatever the template says.
            const auto* picture = static_cast<QLabel*>(widget);
            if (!picture->pixmap().isNull()) {
                const int frame = 2 * picture->frameWidth();
                widget->resize(picture->pixmap().size() + QSize(frame, frame));
            }
        }
        if (control.kind == ControlKind::InputField) {
            auto* field = static_cast<QLineEdit*>(widget);
            fields_[control.id] = field;
            field->installEventFilter(this);
        } else if (control.id == kButtonGenerate) {
            connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, this,
                    &TreeDialog::Generate);
        } else if (control.id == kButtonExit) {
            connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, this,
                    &TreeDialog::Quit);
        }
    }
    canvas_ = new TreeCanvas(this);
    drawing_ = new TreeDrawing(*canvas_, this);
    connect(drawing_, &TreeDrawing::Changed, this, &TreeDialog::ShowProgress);
    connect(drawing_, &TreeDrawing::Ended, this, &TreeDialog::RunEnded);
    connect(canvas_, &TreeCanvas::DragStarted, this, [this] { dragStart_ = View(); });
    connect(canvas_, &TreeCanvas::Dragged, this,
            [this](QPoint offset) { SetView(ViewAfterDrag(dragStart_, offset.x(), offset.y())); });
    connect(canvas_, &TreeCanvas::FrontViewAsked, this, [this] { SetView({}); });

    const QRect area = DialogRectToPixels(units_, kDialogHeader.x, kDialogHeader.y,
                                          kDialogHeader.width, kDialogHeader.height);
    // However the font measures, the canvas keeps a margin as wide as its top one.
    const int width = std::max(area.width(), kCanvasX + kCanvasWidth + kCanvasY);
    const int height = std::max(area.height(), kCanvasY + kCanvasHeight + kCanvasY);
    CreateStatusLine(height, width);
    setFixedSize(width, height + kStatusHeight);
}

void TreeDialog::CreateStatusLine(int top, int width) {
    auto* line = new QWidget(this);
    line->setObjectName(QStringLiteral("statusLine"));
    line->setGeometry(0, top, width, kStatusHeight);
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(6, 0, 6, 2);
    status_ = new QLabel(line);
    status_->setObjectName(QStringLiteral("status"));
    status_->setTextFormat(Qt::PlainText);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(status_, 1);
    progress_ = new QProgressBar(line);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setRange(0, kProgressSteps);
    progress_->setFixedWidth(kCanvasWidth / 3);
    progress_->setTextVisible(false);
    progress_->hide();
    layout->addWidget(progress_);
}

void TreeDialog::CreateShortcuts() {
    connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this,
            &TreeDialog::AskAndSave);
    connect(new QShortcut(QKeySequence::Copy, this), &QShortcut::activated, this,
            &TreeDialog::CopyPicture);
    connect(new QShortcut(QKeySequence::Quit, this), &QShortcut::activated, this,
            &TreeDialog::Quit);
}

void TreeDialog::FillExampleValues() {
    for (const auto& [id, text] : FieldTextsOf(kExampleTree)) {
        fields_.at(id)->setText(QString::fromStdString(text));
    }
    fields_.at(kDialogControls.front().id)->setFocus();
}

void TreeDialog::Generate() {
    const TreeParameters parameters =
        ReadTreeParameters([this](int id) { return fields_.at(id)->text().toStdString(); });
    // The clock is read once, so the whole tree is the one of this second and can be drawn
    // again from it.
    drawing_->Draw(parameters, SystemClockSeconds());
}

void TreeDialog::SetView(ViewAngles view) {
    drawing_->SetView(view);
}

ViewAngles TreeDialog::View() const {
    return drawing_->View();
}

void TreeDialog::StopRun() {
    drawing_->Stop();
}

bool TreeDialog::RunGoing() const {
    return drawing_->Going();
}

std::uint64_t TreeDialog::RunProgress() const {
    return drawing_->Drawn();
}

std::optional<TreeOrder> TreeDialog::ShownTree() const {
    return drawing_->Shown();
}

void TreeDialog::Quit() {
    saving_->Stop();
    if (!drawing_->Finish(kQuitWaitMilliseconds) || !saving_->Wait(kQuitWaitMilliseconds)) {
        // A thread that does not stop must not keep the program alive or turn its ending into
        // a failure.
        std::fflush(nullptr);
        std::_Exit(0);
    }
    QCoreApplication::exit(0);
}

void TreeDialog::ShowProgress() {
    status_->setText(DrawingStatus(*drawing_));
    if (!drawing_->Going()) {
        progress_->hide();
        return;
    }
    const std::uint64_t total = std::max<std::uint64_t>(drawing_->Total().branches, 1);
    const std::uint64_t drawn = std::min(drawing_->Drawn(), total);
    progress_->setValue(static_cast<int>(static_cast<long double>(drawn) / total * kProgressSteps));
    progress_->show();
}

void TreeDialog::reject() {
    // Esc stops a run or a saving; the dialog is the program's only window and stays.
    StopRun();
    saving_->Stop();
}

void TreeDialog::closeEvent(QCloseEvent* event) {
    event->accept();
    Quit();
}

bool TreeDialog::eventFilter(QObject* watched, QEvent* event) {
    // A field claims Ctrl+C for its own selection; with nothing selected it copies the picture.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* field = qobject_cast<QLineEdit*>(watched);
        if (field != nullptr && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy) &&
            !field->hasSelectedText()) {
            event->ignore();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString TreeDialog::SaveTo(const QString& path) {
    if (!drawing_->Shown()) {
        return RunGoing() ? tr("a tree is still being drawn") : tr("no tree has been drawn yet");
    }
    return saving_->SaveNow(path, *drawing_->Shown());
}

void TreeDialog::SaveInBackground(const QString& path) {
    if (drawing_->Shown()) {
        saving_->Start(path, *drawing_->Shown());
    }
}

bool TreeDialog::SaveGoing() const {
    return saving_->Going();
}

void TreeDialog::AskAndSave() {
    if (SaveGoing()) {
        return;
    }
    if (!drawing_->Shown()) {
        status_->setText(RunGoing() ? tr("Wait for the tree, or press Esc, before saving.")
                                    : tr("Draw a tree first, then save it."));
        return;
    }
    saving_->Ask(this, *drawing_->Shown());
}

void TreeDialog::CopyPicture() {
    if (!canvas_->HasPicture() || !drawing_->Shown()) {
        return;
    }
    QApplication::clipboard()->setImage(canvas_->Picture());
    status_->setText(tr("Copied the tree of second %1.").arg(drawing_->Shown()->second));
}

} // namespace arbolith
