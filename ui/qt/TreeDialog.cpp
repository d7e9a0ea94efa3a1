#include "ui/qt/TreeDialog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "output/WholeFile.h"
#include "tree/Clock.h"
#include "tree/ExampleTree.h"
#include "tree/Presets.h"
#include "ui/DialogLayout.h"
#include "ui/ViewDrag.h"
#include "ui/qt/StatusLine.h"
#include "ui/qt/StatusText.h"
#include "ui/qt/TemplatePanel.h"
#include "ui/qt/TreeCanvas.h"
#include "ui/qt/TreeDrawing.h"
#include "ui/qt/TreeMenus.h"
#include "ui/qt/TreeSaving.h"
#include "values/KeyTable.h"

namespace arbolith {

namespace {

// How long Exit waits for a stopped run's thread before ending the process regardless.
constexpr int kQuitWaitMilliseconds = 3000;
// Room for a title bar and borders, which the window system tells only once the window is shown.
constexpr QMargins kFrameAllowance(4, 24, 4, 4);
const QString kParameterFilter = QStringLiteral("Arbolith parameters (*.txt);;All files (*)");

} // namespace

TreeDialog::TreeDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(kDialogHeader.title));
    // The program's one window: a normal top-level one with a place in the task bar, yet
    // topmost, as a system-modal template makes it.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    setFont(DialogFont());
    units_ = BaseUnitsOf(font());
    setSizeGripEnabled(true);

    // Created in this order, which is Tab's: the template's controls, then the second.
    template_ = new TemplatePanel(units_, this);
    canvas_ = new TreeCanvas(this);
    status_ = new StatusLine(units_.x, this);
    status_->setFixedHeight(kStatusHeight);
    menuBar_ = CreateMenuBar(*this);

    auto* column = new QVBoxLayout;
    // The canvas's picture at the template's place when the window has room for it.
    column->setContentsMargins(0, kCanvasY - TreeCanvas::kBorder, 0, 0);
    column->setSpacing(0);
    column->addWidget(canvas_, 1);
    column->addWidget(status_);
    auto* body = new QHBoxLayout(this);
    body->setMenuBar(menuBar_);
    body->setContentsMargins(0, 0, kCanvasY - TreeCanvas::kBorder, 0);
    body->setSpacing(0);
    body->addWidget(template_, 0, Qt::AlignTop);
    body->addSpacing(std::max(0, kCanvasX - TreeCanvas::kBorder - template_->width()));
    body->addLayout(column, 1);

    drawing_ = new TreeDrawing(*canvas_, this);
    connect(drawing_, &TreeDrawing::Changed, this, &TreeDialog::ShowProgress);
    connect(drawing_, &TreeDrawing::Ended, this, &TreeDialog::RunEnded);
    connect(canvas_, &TreeCanvas::DragStarted, this, [this] { dragStart_ = View(); });
    connect(canvas_, &TreeCanvas::Dragged, this,
            [this](QPoint offset) { SetView(ViewAfterDrag(dragStart_, offset.x(), offset.y())); });
    connect(canvas_, &TreeCanvas::FrontViewAsked, this, [this] { SetView({}); });
    for (const DialogControl& control : kDialogControls) {
        if (control.kind == ControlKind::InputField) {
            template_->Field(control.id)->installEventFilter(this);
        }
    }
    SecondField()->installEventFilter(this);
    connect(template_->Button(kButtonGenerate), &QPushButton::clicked, this, &TreeDialog::Generate);
    connect(template_->Button(kButtonExit), &QPushButton::clicked, this, &TreeDialog::Quit);
    retune_.setSingleShot(true);
    retune_.setInterval(0);
    connect(&retune_, &QTimer::timeout, this, &TreeDialog::Generate);
    connect(template_, &TemplatePanel::Edited, this, &TreeDialog::Retune);
    connect(status_, &StatusLine::SecondEdited, this, &TreeDialog::Retune);

    saving_ = new TreeSaving(this);
    connect(saving_, &TreeSaving::Said, status_, &StatusLine::Say);
    connect(saving_, &TreeSaving::Failed, this, &TreeDialog::Warn);
    connect(saving_, &TreeSaving::Ended, this, &TreeDialog::SaveEnded);

    template_->SetParameters(kExampleTree);
    template_->Field(kDialogControls.front().id)->setFocus();
    ShowProgress();
    FitToScreen();
}

TreeDialog::~TreeDialog() = default;

void TreeDialog::FitToScreen() {
    const QScreen* shown = screen();
    if (shown == nullptr) {
        return;
    }
    // The room the screen leaves beside its panels.
    const QRect room = shown->availableGeometry();
    const QSize size =
        sizeHint().boundedTo(room.size().shrunkBy(kFrameAllowance)).expandedTo(minimumSizeHint());
    resize(size);
    // A window's position is its frame's: centred, or at the top where the room is too small, so
    // that the title bar stays on the screen to move the window by.
    const QSize framed = size.grownBy(kFrameAllowance);
    move(room.left() + std::max(0, (room.width() - framed.width()) / 2),
         room.top() + std::max(0, (room.height() - framed.height()) / 2));
}

void TreeDialog::Generate() {
    std::optional<std::uint32_t> second;
    if (!status_->ReadSecond(second)) {
        status_->SayWhatSecondIs();
        return;
    }
    // The clock is read once, so the whole tree is the one of this second and can be drawn
    // again from it.
    drawing_->Draw(template_->Parameters(), second.value_or(SystemClockSeconds()));
}

void TreeDialog::Retune() {
    if (status_->HoldsSecond()) {
        retune_.start();
    }
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

QLineEdit* TreeDialog::SecondField() const {
    return status_->SecondField();
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

void TreeDialog::Say(const QString& text) {
    status_->Say(text);
}

void TreeDialog::Warn(const QString& message) {
    // Plain text: a file's name or a line of it is shown as it is, never read as markup.
    QMessageBox box(QMessageBox::Warning, windowTitle(), PrintableText(message), QMessageBox::Ok,
                    this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void TreeDialog::ShowProgress() {
    Say(DrawingStatus(*drawing_));
    if (!drawing_->Going()) {
        status_->ShowProgress(std::nullopt);
        return;
    }
    const std::uint64_t total = std::max<std::uint64_t>(drawing_->Total().branches, 1);
    const std::uint64_t drawn = std::min(drawing_->Drawn(), total);
    status_->ShowProgress(static_cast<double>(static_cast<long double>(drawn) / total));
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
        Say(RunGoing() ? tr("Wait for the tree, or press Esc, before saving.")
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
    Say(tr("Copied the tree of second %1.").arg(drawing_->Shown()->second));
}

void TreeDialog::CopyCommand() {
    if (!drawing_->Shown()) {
        Say(tr("Draw a tree first, then copy its command."));
        return;
    }
    const QString command = QString::fromStdString(RenderCommand(*drawing_->Shown()));
    QApplication::clipboard()->setText(command);
    Say(tr("Copied: %1").arg(command));
}

ParameterSet TreeDialog::CurrentParameters() const {
    ParameterSet set{template_->Parameters(), std::nullopt, View()};
    if (!status_->ReadSecond(set.second) || !set.second) {
        const TreeOrder* latest = drawing_->Latest();
        if (latest != nullptr && latest->parameters == set.parameters) {
            set.second = latest->second;
        }
    }
    return set;
}

void TreeDialog::ShowParameters(const ParameterSet& set) {
    template_->SetParameters(set.parameters);
    status_->SetSecond(set.second);
    if (set.view) {
        // The tree is drawn below, seen this way.
        drawing_->SetView(*set.view);
    }
    Generate();
}

void TreeDialog::ShowPreset(const Preset& preset) {
    ShowParameters({preset.parameters, preset.second, std::nullopt});
}

QString TreeDialog::OpenParameters(const QString& path) {
    // A FIFO or a device could keep the window waiting for a writer: only a file is read.
    const ParameterReading read =
        ReadParameterFile(QFile::encodeName(path).toStdString(), /*regularOnly=*/true);
    if (const auto* fault = std::get_if<ParameterFault>(&read)) {
        return QString::fromStdString(DescribeFault(path.toStdString(), *fault));
    }
    ShowParameters(std::get<ParameterSet>(read));
    return {};
}

QString TreeDialog::SaveParameters(const QString& path) {
    const WriteResult written =
        WriteParameterFile(QFile::encodeName(path).toStdString(), CurrentParameters());
    if (written.outcome == WriteOutcome::Written) {
        Say(tr("Saved the parameters to %1.").arg(path));
        return {};
    }
    const QString reason = written.reason.empty() ? tr("the file took no more")
                                                  : QString::fromStdString(written.reason);
    return QStringLiteral("%1: %2").arg(path, reason);
}

void TreeDialog::AskAndOpenParameters() {
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Open Parameters"), QString(), kParameterFilter);
    // Without a window manager nothing hands the keyboard back once the file dialog is gone.
    activateWindow();
    if (path.isEmpty()) {
        return;
    }
    if (const QString failure = OpenParameters(path); !failure.isEmpty()) {
        Warn(tr("Could not open %1").arg(failure));
    }
}

void TreeDialog::AskAndSaveParameters() {
    const ParameterSet set = CurrentParameters();
    const QString name = set.second ? QStringLiteral("arbolith-%1.txt").arg(*set.second)
                                    : QStringLiteral("arbolith.txt");
    QString path =
        QFileDialog::getSaveFileName(this, tr("Save Parameters"), name, kParameterFilter);
    activateWindow();
    if (path.isEmpty()) {
        return;
    }
    if (const QString failure = SaveParameters(path); !failure.isEmpty()) {
        Warn(tr("Could not save %1").arg(failure));
    }
}

} // namespace arbolith
