#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include <QDialog>
#include <QPoint>
#include <QTimer>

#include "tree/BranchCount.h"
#include "ui/qt/DialogUnits.h"
#include "ui/qt/PictureFile.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace arbolith {

class BackgroundSave;
class TreeCanvas;
class TreeRun;

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
    // going is stopped first: the generator serves one run at a time.
    void Generate();
    // Stops a run that is going; the canvas keeps what it has drawn.
    void StopRun();
    bool RunGoing() const;
    // Polygons the current run has drawn so far.
    std::uint64_t RunProgress() const;
    // Ends the program with status 0, also in the middle of a run.
    void Quit();

    // Shows the tree from another side: the tree on the canvas is drawn again for its second,
    // turned, and so is every tree drawn after it until the view changes again.
    void SetView(ViewAngles view);
    ViewAngles View() const { return view_; }

    // Writes the picture to a PNG or SVG file; an empty text on success, else the reason.
    QString SaveTo(const QString& path);
    // The same on a thread of its own, for an SVG of a large tree; Esc stops it.
    void SaveInBackground(const QString& path);
    bool SaveGoing() const;
    void CopyPicture();

    // The tree the canvas shows, once a run has ended.
    std::optional<TreeRecord> ShownTree() const { return shown_; }
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
    void Refresh();
    // Draws the tree of these values and this second as the view shows it, at most `polygonLimit`
    // polygons of it.
    void StartRun(const TreeParameters& parameters, std::uint32_t second,
                  std::uint64_t polygonLimit);
    void Turn(QPoint offset);
    QString ViewText() const;
    void OnRunEnded();
    void ShowStatus();
    void AskAndSave();
    void OnSaveEnded();

    DialogBaseUnits units_;
    std::map<int, QLineEdit*> fields_;
    TreeCanvas* canvas_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTimer refresh_;
    std::unique_ptr<TreeRun> run_;
    std::uint64_t runSerial_ = 0;
    BranchCount runTotal_;
    std::optional<TreeRecord> shown_;
    std::unique_ptr<BackgroundSave> save_;
    ViewAngles view_;
    // The view when the drag began.
    ViewAngles dragStart_;
};

} // namespace arbolith
