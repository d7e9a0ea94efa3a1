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
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QVBoxLayout>

#include "output/Formats.h"
#include "output/WholeFile.h"
#include "tree/Clock.h"
#include "tree/ExampleTree.h"
#include "tree/Presets.h"
#include "ui/DialogLayout.h"
#include "ui/FieldHints.h"
#include "ui/FieldNames.h"
#include "ui/TreeSeconds.h"
#include "ui/ViewDrag.h"
#include "ui/qt/SecondStrip.h"
#include "ui/qt/StatusLine.h"
#include "ui/qt/StatusText.h"
#include "ui/qt/TemplatePanel.h"
#include "ui/qt/TreeCanvas.h"
#include "ui/qt/TreeDrawing.h"
#include "ui/qt/TreeMenus.h"
#include "ui/qt/TreeSaving.h"
#include "ui/qt/TreeView3D.h"
#include "ui/qt/TreeViews.h"
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
    menuBar_ = CreateMenuBar(*this);

    auto* column = new QVBoxLayout;
    // The canvas's picture at the template's place when the window has room for it.
    column->setContentsMargins(0, kCanvasY - TreeCanvas::kBorder, 0, 0);
    column->setSpacing(0);
    views_ = new TreeViews(canvas_, this);
    column->addWidget(views_, 1);
    neighbours_ = new SecondStrip(this);
    neighbours_->hide();
    column->addWidget(neighbours_);
    status_->AddToRow(views_->Switch());
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
    connect(drawing_, &TreeDrawing::Ended, this, &TreeDialog::ShowNeighboursOfTree);
    connect(neighbours_, &SecondStrip::Chosen, this, [this](std::uint32_t second) {
        status_->SetSecond(second);
        Generate();
    });
    connect(drawing_, &TreeDrawing::Started, this,
            [this] { views_->SetTree(*drawing_->Latest()); });
    connect(views_, &TreeViews::Changed, this, &TreeDialog::ShowProgress);
    connect(views_, &TreeViews::PictureViewAsked, this, &TreeDialog::SetView);
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
    connect(template_->Button(kButtonGenerate), &QPushButton::clicked, this, &TreeDialog::Press);
    connect(status_->PreviousButton(), &QPushButton::clicked, this, [this] { StepSecond(-1); });
    connect(status_->NextButton(), &QPushButton::clicked, this, [this] { StepSecond(1); });
    connect(template_, &TemplatePanel::Edited, this, &TreeDialog::NoteFieldReadings);
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
    NoteFieldReadings();
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

void TreeDialog::Press() {
    std::optional<std::uint32_t> shown;
    if (!status_->ReadSecond(shown) || !shown) {
        const TreeOrder* latest = drawing_->Latest();
        shown = latest != nullptr ? std::optional(latest->second) : std::nullopt;
    }
    latestPress_ = PressedSecond(SystemClockSeconds(), latestPress_, shown);
    // Held, so that an edit retunes this tree and Previous and Next step from it.
    status_->SetSecond(latestPress_);
    Generate();
}

void TreeDialog::StepSecond(int step) {
    std::optional<std::uint32_t> held;
    if (!status_->ReadSecond(held) || !held) {
        const TreeOrder* latest = drawing_->Latest();
        held = latest != nullptr ? latest->second : SystemClockSeconds();
    }
    status_->SetSecond(NeighbourSecond(*held, step));
    Generate();
}

void TreeDialog::ShowNeighbours(bool shown) {
    neighbours_->setVisible(shown);
    ShowNeighboursOfTree();
}

void TreeDialog::ShowNeighboursOfTree() {
    if (neighbours_->isVisible() && drawing_->Shown()) {
        neighbours_->ShowAround(*drawing_->Shown());
    }
}

void TreeDialog::NoteFieldReadings() {
    // A field whose text reads as something else says so where it is pointed at, and shows it.
    for (const FieldName& field : FieldNames()) {
        QLineEdit* edit = template_->Field(field.id);
        const auto readsAs = ReadsAs(field.id, edit->text().toStdString());
        const QString hint = QString::fromStdString(HintText(HintOf(field.id)));
        edit->setToolTip(
            readsAs ? tr("Reads as %1.\n\n%2").arg(QString::fromStdString(*readsAs), hint) : hint);
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, readsAs
                                             ? kNotedGround
                                             : QApplication::palette(edit).color(QPalette::Base));
        edit->setPalette(palette);
    }
    status_->ShowNotes(FieldNotes());
}

QString TreeDialog::FieldNotes() const {
    QStringList notes;
    for (const FieldName& field : FieldNames()) {
        const std::string text = template_->Field(field.id)->text().toStdString();
        if (const auto note = ReadingNote(field, text)) {
            notes << QString::fromStdString(*note) + QLatin1Char('.');
        }
    }
    return notes.join(QLatin1Char(' '));
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
    views_->Stop();
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
    if (views_->Growing3D()) {
        const TreeView3D& view = *views_->View3D();
        status_->ShowProgress(static_cast<double>(view.Records()) /
                              static_cast<double>(std::max<std::uint64_t>(view.Expected(), 1)));
        return;
    }
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
    // Enter in the second's field draws the second typed there, not a new one.
    if (watched == SecondField() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Generate();
            return true;
        }
    }
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

void TreeDialog::AskAndSave(bool levelsOfDetail) {
    if (SaveGoing()) {
        return;
    }
    if (!drawing_->Shown()) {
        Say(RunGoing() ? tr("Wait for the tree, or press Esc, before saving.")
                       : tr("Draw a tree first, then save it."));
        return;
    }
    if (levelsOfDetail) {
        saving_->AskLevelsOfDetail(this, *drawing_->Shown());
    } else {
        saving_->Ask(this, *drawing_->Shown());
    }
}

void TreeDialog::AskAndSaveLarger() {
    if (SaveGoing()) {
        return;
    }
    if (!drawing_->Shown()) {
        AskAndSave();
        return;
    }
    bool chosen = false;
    const int times = QInputDialog::getInt(
        this, tr("Save a Larger Picture"),
        tr("How many times larger? Every branch and outline is drawn that much larger and sharp; "
           "4 makes a picture of %1 x %2 pixels.")
            .arg(ScaledSide(kPictureWidth, 4))
            .arg(ScaledSide(kPictureHeight, 4)),
        4, 2, static_cast<int>(kLargestScale), 1, &chosen);
    activateWindow();
    if (!chosen) {
        return;
    }
    TreeOrder larger = *drawing_->Shown();
    larger.placement = {static_cast<double>(times), 0, 0};
    saving_->Ask(this, larger);
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
    NoteFieldReadings();
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
