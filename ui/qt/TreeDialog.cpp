#include "ui/qt/TreeDialog.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>

#include "tree/ExampleTree.h"
#include "tree/Random.h"
#include "ui/DialogLayout.h"
#include "ui/FieldText.h"
#include "ui/qt/BackgroundSave.h"
#include "ui/qt/FieldTexts.h"
#include "ui/qt/TreeCanvas.h"
#include "ui/qt/TreeRun.h"

namespace arbolith {

namespace {

// Repaints of a growing tree come at least this often.
constexpr int kRefreshMilliseconds = 50;
// Dragging turns the view a degree for every this many pixels.
constexpr int kPixelsPerDegree = 2;
// How long Exit waits for a stopped run's thread before ending the process regardless.
constexpr int kQuitWaitMilliseconds = 3000;
constexpr int kProgressSteps = 1000;

QString Count(std::uint64_t n) {
    return QLocale(QLocale::English).toString(static_cast<qulonglong>(n));
}

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
    refresh_.setInterval(kRefreshMilliseconds);
    connect(&refresh_, &QTimer::timeout, this, &TreeDialog::Refresh);
    ShowStatus();
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
    connect(canvas_, &TreeCanvas::DragStarted, this, [this] { dragStart_ = view_; });
    connect(canvas_, &TreeCanvas::Dragged, this, &TreeDialog::Turn);
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
    if (SaveGoing()) {
        // The file being written draws its tree with the same generator.
        status_->setText(tr("Still saving %1; Esc stops the saving.").arg(save_->Path()));
        return;
    }
    const TreeParameters parameters =
        ReadTreeParameters([this](int id) { return fields_.at(id)->text().toStdString(); });
    if (run_) {
        run_->Stop();
        run_->Wait(-1);
        run_.reset();
    }
    // The clock is read once, so the whole tree is the one of this second and can be drawn
    // again from it.
    StartRun(parameters, ReadClock(), RunControl::kNoLimit);
}

void TreeDialog::StartRun(const TreeParameters& parameters, std::uint32_t second,
                          std::uint64_t polygonLimit) {
    if (run_) {
        run_->Stop();
        run_->Wait(-1);
        run_.reset();
    }
    runTotal_ = CountBranches(parameters, GrowthPath::RepeatsOnce, second);
    runTotal_.branches = std::min(runTotal_.branches, polygonLimit);
    run_ = std::make_unique<TreeRun>(parameters, second, QSize(kCanvasWidth, kCanvasHeight), view_,
                                     polygonLimit);
    const std::uint64_t serial = ++runSerial_;
    connect(run_.get(), &TreeRun::Finished, this, [this, serial] {
        if (serial == runSerial_) {
            OnRunEnded();
        }
    });
    shown_.reset();
    run_->Start();
    refresh_.start();
    progress_->setValue(0);
    progress_->show();
    ShowStatus();
}

void TreeDialog::SetView(ViewAngles view) {
    if (view == view_) {
        return;
    }
    if (SaveGoing()) {
        // The file being written grows its tree with the same generator.
        status_->setText(tr("Still saving %1; Esc stops the saving.").arg(save_->Path()));
        return;
    }
    view_ = view;
    if (run_) {
        // The same tree as the canvas shows, and as many of its branches.
        const std::uint64_t limit = shown_ ? shown_->polygonLimit : run_->PolygonLimit();
        // Copies: starting the new run ends the old one, and its parameters with it.
        const TreeParameters parameters = run_->Parameters();
        StartRun(parameters, run_->Second(), limit);
    } else {
        ShowStatus();
    }
}

void TreeDialog::Turn(QPoint offset) {
    const std::int64_t pitch =
        std::clamp<std::int64_t>(std::int64_t{dragStart_.pitch} + offset.y() / kPixelsPerDegree,
                                 -kLargestPitch, kLargestPitch);
    SetView({WrappedYaw(std::int64_t{dragStart_.yaw} + offset.x() / kPixelsPerDegree),
             static_cast<std::int32_t>(pitch)});
}

QString TreeDialog::ViewText() const {
    return tr("seen from yaw %1°, pitch %2°").arg(view_.yaw).arg(view_.pitch);
}

void TreeDialog::StopRun() {
    if (RunGoing()) {
        run_->Stop();
    }
}

bool TreeDialog::RunGoing() const {
    return run_ && !shown_.has_value();
}

std::uint64_t TreeDialog::RunProgress() const {
    return run_ ? run_->PolygonsDrawn() : 0;
}

void TreeDialog::Quit() {
    if (save_) {
        save_->Stop();
    }
    if (run_) {
        run_->Stop();
    }
    if ((save_ && !save_->Wait(kQuitWaitMilliseconds)) ||
        (run_ && !run_->Wait(kQuitWaitMilliseconds))) {
        // A thread that does not stop must not keep the program alive or turn its ending into
        // a failure.
        std::fflush(nullptr);
        std::_Exit(0);
    }
    QCoreApplication::exit(0);
}

void TreeDialog::Refresh() {
    if (!run_) {
        return;
    }
    canvas_->SetPicture(run_->Snapshot());
    const std::uint64_t total = std::max<std::uint64_t>(runTotal_.branches, 1);
    const std::uint64_t drawn = std::min(run_->PolygonsDrawn(), total);
    progress_->setValue(static_cast<int>(static_cast<long double>(drawn) / total * kProgressSteps));
    ShowStatus();
}

void TreeDialog::OnRunEnded() {
    refresh_.stop();
    run_->Wait(-1);
    canvas_->SetPicture(run_->Snapshot());
    shown_ =
        TreeRecord{run_->Parameters(), run_->Second(),
                   run_->Completed() ? RunControl::kNoLimit : run_->PolygonsDrawn(), run_->View()};
    progress_->hide();
    ShowStatus();
    emit RunEnded();
}

void TreeDialog::ShowStatus() {
    const bool turned = !view_.IsFront();
    if (!run_) {
        status_->setText(
            turned ? tr("Enter draws the tree of these values, %1; Home on the canvas turns it "
                        "back.")
                         .arg(ViewText())
                   : tr("Enter draws the tree of these values; Ctrl+S saves, Ctrl+C copies."));
        return;
    }
    const QString second = QString::number(run_->Second());
    const QString drawn = Count(RunProgress());
    const QString seen = turned ? QStringLiteral(", ") + ViewText() : QString();
    if (!shown_) {
        const QString total =
            (runTotal_.exact ? QString() : tr("at most ")) + Count(runTotal_.branches);
        status_->setText(tr("Drawing the tree of second %1%4: %2 of %3 branches. Esc stops.")
                             .arg(second, drawn, total, seen));
    } else if (run_->Completed() && turned) {
        status_->setText(tr("Tree of second %1, %2 branches, %3: arbolith-render --time %1 "
                            "--view %4,%5 draws it.")
                             .arg(second, drawn, ViewText())
                             .arg(view_.yaw)
                             .arg(view_.pitch));
    } else if (run_->Completed()) {
        status_->setText(tr("Tree of second %1, %2 branches. arbolith-render --time %1 draws it "
                            "again.")
                             .arg(second, drawn));
    } else if (runTotal_.OutgrowsForkLimit()) {
        // Two or more limbs a fork over that many levels: more than 2^levels branches.
        status_->setText(tr("Stopped at %1 nested forks, all a run holds: this tree has over "
                            "2^%2 branches and could never finish.")
                             .arg(Count(kMaxUnfinishedForks))
                             .arg(runTotal_.unfinishedForks));
    } else {
        status_->setText(
            tr("Stopped: %1 branches of the tree of second %2%3.").arg(drawn, second, seen));
    }
}

void TreeDialog::reject() {
    // Esc stops a run or a saving; the dialog is the program's only window and stays.
    StopRun();
    if (SaveGoing()) {
        save_->Stop();
    }
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
    if (!shown_) {
        return RunGoing() ? tr("a tree is still being drawn") : tr("no tree has been drawn yet");
    }
    if (SaveGoing()) {
        return tr("another file is still being saved");
    }
    return SavePicture(path, canvas_->Picture(), *shown_);
}

void TreeDialog::SaveInBackground(const QString& path) {
    if (!shown_ || SaveGoing()) {
        return;
    }
    save_ = std::make_unique<BackgroundSave>(path, canvas_->Picture(), *shown_);
    connect(save_.get(), &BackgroundSave::Finished, this, &TreeDialog::OnSaveEnded);
    save_->Start();
    status_->setText(
        tr("Saving the tree of second %1 to %2; Esc stops.").arg(shown_->second).arg(path));
}

bool TreeDialog::SaveGoing() const {
    // Until its end has been taken in, as a run's.
    return save_ != nullptr;
}

void TreeDialog::OnSaveEnded() {
    save_->Wait(-1);
    const QString path = save_->Path();
    const QString failure = save_->Failure();
    const bool stopped = save_->Stopped();
    save_.reset();
    if (failure.isEmpty()) {
        status_->setText(tr("Saved the tree of second %1 to %2.").arg(shown_->second).arg(path));
    } else if (stopped) {
        status_->setText(tr("Saving stopped; nothing was written to %1.").arg(path));
    } else {
        QMessageBox::warning(this, windowTitle(), tr("Could not save %1: %2").arg(path, failure));
    }
    emit SaveEnded();
}

void TreeDialog::AskAndSave() {
    if (SaveGoing()) {
        return;
    }
    if (!shown_) {
        status_->setText(RunGoing() ? tr("Wait for the tree, or press Esc, before saving.")
                                    : tr("Draw a tree first, then save it."));
        return;
    }
    // Each filter with the extension it stands for.
    const std::array<std::pair<QString, QString>, 4> filters{{
        {tr("PNG image (*.png)"), QStringLiteral(".png")},
        {tr("SVG drawing, one polygon per branch (*.svg)"), QStringLiteral(".svg")},
        {tr("glTF binary, the tree in 3-D (*.glb)"), QStringLiteral(".glb")},
        {tr("Wavefront OBJ with its .mtl, the tree in 3-D (*.obj)"), QStringLiteral(".obj")},
    }};
    QStringList names;
    for (const auto& [name, extension] : filters) {
        names.append(name);
    }
    QString filter = filters.front().first;
    QString path = QFileDialog::getSaveFileName(
        this, tr("Save the picture"), QStringLiteral("arbolith-%1.png").arg(shown_->second),
        names.join(QStringLiteral(";;")), &filter);
    // Without a window manager nothing hands the keyboard back once the file dialog is gone.
    activateWindow();
    if (path.isEmpty()) {
        return;
    }
    const bool named = std::any_of(filters.begin(), filters.end(), [&](const auto& f) {
        return path.endsWith(f.second, Qt::CaseInsensitive);
    });
    if (!named) {
        const auto chosen = std::find_if(filters.begin(), filters.end(),
                                         [&](const auto& f) { return f.first == filter; });
        path += chosen != filters.end() ? chosen->second : filters.front().second;
    }
    if (IsSvgPath(path) || IsModelPath(path)) {
        SaveInBackground(path);
        return;
    }
    const QString failure = SaveTo(path);
    if (!failure.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), tr("Could not save %1: %2").arg(path, failure));
        return;
    }
    status_->setText(tr("Saved the tree of second %1 to %2.").arg(shown_->second).arg(path));
}

void TreeDialog::CopyPicture() {
    if (!canvas_->HasPicture() || RunGoing()) {
        return;
    }
    QApplication::clipboard()->setImage(canvas_->Picture());
    status_->setText(tr("Copied the tree of second %1.").arg(shown_->second));
}

} // namespace arbolith
