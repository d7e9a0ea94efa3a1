#include "ui/qt/TreeDrawing.h"

#include "ui/DialogLayout.h"
#include "ui/StatusSentences.h"
#include "ui/qt/TreeCanvas.h"
#include "ui/qt/TreeRun.h"

namespace arbolith {

namespace {

// Repaints of a growing tree come at least this often.
constexpr int kRefreshMilliseconds = 50;

} // namespace

TreeDrawing::TreeDrawing(TreeCanvas& canvas, QObject* parent) : QObject(parent), canvas_(canvas) {
    refresh_.setInterval(kRefreshMilliseconds);
    connect(&refresh_, &QTimer::timeout, this, &TreeDrawing::Refresh);
}

TreeDrawing::~TreeDrawing() = default;

void TreeDrawing::Draw(const TreeParameters& parameters, std::uint32_t second) {
    TreeOrder order{parameters, second};
    order.view = view_;
    Start(order);
}

void TreeDrawing::Start(const TreeOrder& order) {
    if (run_) {
        run_->Stop();
        run_->Wait(-1);
        run_.reset();
    }
    total_ = BranchTotal(order);
    shown_.reset();
    run_ = std::make_unique<TreeRun>(order, QSize(kCanvasWidth, kCanvasHeight));
    // A run replaced before its end can say nothing more: its end goes with it.
    connect(run_.get(), &TreeRun::Finished, this, &TreeDrawing::OnFinished);
    run_->Start();
    refresh_.start();
    emit Started();
    emit Changed();
}

void TreeDrawing::Stop() {
    if (Going()) {
        run_->Stop();
    }
}

bool TreeDrawing::Finish(int milliseconds) {
    if (!run_) {
        return true;
    }
    run_->Stop();
    return run_->Wait(milliseconds);
}

void TreeDrawing::SetView(ViewAngles view) {
    if (view == view_) {
        return;
    }
    view_ = view;
    if (run_) {
        // The same tree as the canvas shows, and as many of its branches.
        TreeOrder order = shown_ ? *shown_ : run_->Order();
        order.view = view_;
        Start(order);
    } else {
        emit Changed();
    }
}

const TreeOrder* TreeDrawing::Latest() const {
    return run_ ? &run_->Order() : nullptr;
}

std::uint64_t TreeDrawing::Drawn() const {
    return run_ ? run_->PolygonsDrawn() : 0;
}

void TreeDrawing::Refresh() {
    if (run_) {
        canvas_.SetPicture(run_->Snapshot());
        emit Changed();
    }
}

void TreeDrawing::OnFinished() {
    refresh_.stop();
    run_->Wait(-1);
    canvas_.SetPicture(run_->Snapshot());
    shown_ = run_->Drawn();
    emit Changed();
    emit Ended();
}

} // namespace arbolith
