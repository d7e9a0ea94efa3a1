#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include <QObject>
#include <QTimer>

#include "tree/BranchCount.h"
#include "tree/TreeOrder.h"

namespace arbolith {

class TreeCanvas;
class TreeRun;

// The tree on the canvas: the runs that draw it on a thread of their own while the canvas shows
// it growing, the view it is seen from, and the tree the canvas shows once a run has ended.
class TreeDrawing : public QObject {
    Q_OBJECT

public:
    explicit TreeDrawing(TreeCanvas& canvas, QObject* parent = nullptr);
    ~TreeDrawing() override;

    // Draws the tree of these values and this second as the view shows it. A run still going is
    // stopped first.
    void Draw(const TreeParameters& parameters, std::uint32_t second);
    // Stops a run that is going; the canvas keeps what it has drawn.
    void Stop();
    // Stops the run and waits at most `milliseconds` for it (negative: without limit); true once
    // no run is going.
    bool Finish(int milliseconds);

    // Shows the tree from another side: the tree on the canvas is drawn again, turned, as many of
    // its branches as it shows, and so is every tree drawn after it until the view changes again.
    void SetView(ViewAngles view);
    ViewAngles View() const { return view_; }

    // The tree of the latest run, going or ended; none before the first.
    const TreeOrder* Latest() const;
    bool Going() const { return Latest() != nullptr && !shown_; }
    // Polygons the latest run has drawn so far, and how many its tree has.
    std::uint64_t Drawn() const;
    const BranchCount& Total() const { return total_; }
    // Once the latest run has ended, the tree the canvas shows: exactly its polygons.
    const std::optional<TreeOrder>& Shown() const { return shown_; }

signals:
    // A run started: Latest() is its tree.
    void Started();
    // The progress or the state changed.
    void Changed();
    void Ended();

private:
    void Start(const TreeOrder& order);
    void Refresh();
    void OnFinished();

    TreeCanvas& canvas_;
    QTimer refresh_;
    std::unique_ptr<TreeRun> run_;
    BranchCount total_;
    std::optional<TreeOrder> shown_;
    ViewAngles view_;
};

} // namespace arbolith
