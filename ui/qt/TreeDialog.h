#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include <QDialog>

#include "tree/TreeOrder.h"
#include "ui/qt/DialogUnits.h"

class QLabel;
class QLineEdit;
class QProgressBar;

namespace arbolith {

class TreeCanvas;
class TreeDrawing;
class TreeSaving;

// The dialog "Arbolith generator": the twelve fields, the two buttons and the picture of the
// template, the canvas beside them, and a status line below them with the clock second of the
// tree shown and the progress of a run. Every control is named after its control id, the
// template's unnamed ones "-1".
class TreeDialog : public QDialog {
    Q_OBJECT

public:
    explicit TreeDialog(QWidget* parent = nullptr);
    ~TreeDialog() override;

    // Reads the fields and starts drawing their tree for the current clock second. A run still
    // going is stopped first.
    void Generate();
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
    void CopyPicture();

    // The tree the canvas shows, once a run has ended.
    std::optional<TreeOrder> ShownTree() const;
    TreeCanvas* Canvas() const { return canvas_; }
    DialogBaseUnits BaseUnits() const { return units_; }
    // The height of the status line below the template's area.
    static constexpr int kStatusHeight = 24;

signals:
    void RunEnded();
    void SaveEnded();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CreateStatusLine(int top, int width);
    void CreateShortcuts();
    void FillExampleValues();
    void ShowProgress();
    void AskAndSave();

    DialogBaseUnits units_;
    std::map<int, QLineEdit*> fields_;
    TreeCanvas* canvas_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    TreeDrawing* drawing_ = nullptr;
    TreeSaving* saving_ = nullptr;
    // The view when the drag began.
    ViewAngles dragStart_;
};

} // namespace arbolith
