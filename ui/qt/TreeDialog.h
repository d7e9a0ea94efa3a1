#pragma once

#include <cstdint>
#include <optional>

#include <QDialog>
#include <QTimer>

#include "tree/TreeOrder.h"
#include "ui/qt/DialogUnits.h"
#include "values/ParameterFile.h"

class QLineEdit;
class QMenuBar;

namespace arbolith {

struct Preset;
class SecondStrip;
class StatusLine;
class TemplatePanel;
class TreeCanvas;
class TreeDrawing;
class TreeSaving;
class TreeViews;

// The window "Arbolith generator": a menu bar; the template's controls; the canvas beside them,
// taking the room the window has; below it the field for the clock second and a status line with
// the second of the tree shown and the progress of a run. The window is resizable and opens as
// large as the canvas at its own size needs, or as the screen has room for.
class TreeDialog : public QDialog {
    Q_OBJECT

public:
    explicit TreeDialog(QWidget* parent = nullptr);
    ~TreeDialog() override;

    // Reads the fields and starts drawing their tree, for the second the second's field holds or,
    // when it is empty, for the current clock second. A run still going is stopped first.
    void Generate();
    // "Generate new tree": a new second (ui/TreeSeconds.h) into the second's field, and its tree.
    void Press();
    // The tree of the second `step` seconds from the one held (or shown, or now).
    void StepSecond(int step);
    // The notes on the fields' texts that read as something else, one after another.
    QString FieldNotes() const;
    // Shows or hides the strip of the trees of the neighbouring seconds under the canvas.
    void ShowNeighbours(bool shown);
    SecondStrip* Neighbours() const { return neighbours_; }
    // Stops a run that is going; the canvas keeps what it has drawn.
    void StopRun();
    bool RunGoing() const;
    // Polygons the current run has drawn so far.
    std::uint64_t RunProgress() const;
    // Ends the program with status 0, also in the middle of a run or a saving.
    void Quit();

    // Shows the tree from another side (see TreeDrawing::SetView).
    void SetView(ViewAngles view);
    ViewAngles View() const;

    // Writes the tree on the canvas to a file, in the format its extension names; an empty text
    // on success, else the reason.
    QString SaveTo(const QString& path);
    // The same on a thread of its own; Esc stops it.
    void SaveInBackground(const QString& path);
    bool SaveGoing() const;
    // Asks for a file name and a format, and saves the tree on the canvas in the background; with
    // `levelsOfDetail`, asks how many first and offers the 3-D formats.
    void AskAndSave(bool levelsOfDetail = false);
    // The same for its picture drawn a number of times larger, which it asks for first.
    void AskAndSaveLarger();
    void CopyPicture();
    // Copies the arbolith-render command that draws the tree on the canvas.
    void CopyCommand();

    // The fields' values, the second the field holds and the view. With no second held, the tree
    // on the canvas gives its second where it was drawn from these same values.
    ParameterSet CurrentParameters() const;
    // Fills the fields and the second's field (emptied for a set without a second), takes the
    // set's view if it has one, and draws the tree.
    void ShowParameters(const ParameterSet& set);
    void ShowPreset(const Preset& preset);
    // Reads a parameter file and shows its tree; writes the current parameters to one. An empty
    // text on success, else what failed, naming the file.
    QString OpenParameters(const QString& path);
    QString SaveParameters(const QString& path);
    void AskAndOpenParameters();
    void AskAndSaveParameters();

    // The tree the canvas shows, once a run has ended.
    std::optional<TreeOrder> ShownTree() const;
    TemplatePanel* Template() const { return template_; }
    TreeCanvas* Canvas() const { return canvas_; }
    // The picture or the 3-D view in the canvas's place.
    TreeViews* Views() const { return views_; }
    QLineEdit* SecondField() const;
    QMenuBar* MenuBar() const { return menuBar_; }
    DialogBaseUnits BaseUnits() const { return units_; }

signals:
    void RunEnded();
    void SaveEnded();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FitToScreen();
    void Retune();
    void NoteFieldReadings();
    void ShowNeighboursOfTree();
    void ShowProgress();
    void Say(const QString& text);
    void Warn(const QString& message);

    DialogBaseUnits units_;
    QMenuBar* menuBar_ = nullptr;
    TemplatePanel* template_ = nullptr;
    TreeCanvas* canvas_ = nullptr;
    TreeViews* views_ = nullptr;
    StatusLine* status_ = nullptr;
    SecondStrip* neighbours_ = nullptr;
    TreeDrawing* drawing_ = nullptr;
    TreeSaving* saving_ = nullptr;
    // Edits with a second held draw once the event that made them is done, so that a burst of
    // them starts one run.
    QTimer retune_;
    // The view when the drag began.
    ViewAngles dragStart_;
    // The second the latest press drew.
    std::optional<std::uint32_t> latestPress_;
};

} // namespace arbolith
