#include "ui/qt/SecondStrip.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include "render/RasterPicture.h"
#include "tree/BranchCount.h"
#include "ui/DialogLayout.h"
#include "ui/TreeSeconds.h"
#include "ui/qt/BackgroundJob.h"
#include "ui/qt/PixelImages.h"
#include "ui/qt/TreeCanvas.h"

namespace arbolith {

namespace {

// A picture a seventh of the canvas's size: six of them fit under the canvas.
constexpr QSize kThumbnail(kCanvasWidth / 7, kCanvasHeight / 7);

} // namespace

SecondStrip::SecondStrip(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("secondStrip"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 4, 0, 0);
    for (int i = 0; i < 2 * kEachSide; ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("neighbour%1").arg(i));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(kThumbnail);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, [this, i] {
            if (static_cast<std::size_t>(i) < seconds_.size()) {
                emit Chosen(seconds_[static_cast<std::size_t>(i)]);
            }
        });
        row->addWidget(button);
        buttons_.push_back(button);
        if (i + 1 == kEachSide) {
            // The tree shown stands between its neighbours, on the canvas.
            row->addSpacing(kThumbnail.width() / 3);
        }
    }
    note_ = new QLabel(this);
    note_->hide();
    row->addWidget(note_);
    row->addStretch(1);
}

SecondStrip::~SecondStrip() = default;

bool SecondStrip::Drawn() const {
    return !job_ && drawn_ == static_cast<int>(seconds_.size());
}

void SecondStrip::ShowAround(const TreeOrder& order) {
    job_.reset();
    drawn_ = 0;
    seconds_ = NeighbourSeconds(order.second, kEachSide);
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        buttons_[i]->setText(QString::number(seconds_[i]));
        buttons_[i]->setToolTip(tr("The tree of second %1").arg(seconds_[i]));
        QPixmap blank(kThumbnail);
        blank.fill(palette().color(QPalette::Base));
        buttons_[i]->setIcon(blank);
    }
    std::uint64_t largest = 0;
    for (const std::uint32_t second : seconds_) {
        largest = std::max(largest, CountBranches(order.parameters, order.path, second).branches);
    }
    note_->setVisible(largest > kLargestTree);
    note_->setText(tr("Too large a tree to draw its neighbours in a moment."));
    if (largest > kLargestTree) {
        return;
    }
    // Pictures and ends of an earlier drawing, still on their way, are not this one's.
    const int generation = ++generation_;
    TreeOrder each = order;
    each.branchLimit = kNoBranchLimit;
    job_ = std::make_unique<BackgroundJob>(
        [this, each, seconds = seconds_, generation](const std::atomic<bool>& stop) mutable {
            for (std::size_t i = 0; i < seconds.size() && !stop.load(); ++i) {
                each.second = seconds[i];
                const QImage small = ShownPicture(
                    ToQImage(*RenderTreeImage(each, kCanvasWidth, kCanvasHeight)), kThumbnail);
                QMetaObject::invokeMethod(
                    this,
                    [this, i, small, generation] {
                        if (generation == generation_) {
                            buttons_[i]->setIcon(QPixmap::fromImage(small));
                            ++drawn_;
                        }
                    },
                    Qt::QueuedConnection);
            }
        });
    connect(
        job_.get(), &BackgroundJob::Finished, this,
        [this, generation] {
            if (generation == generation_) {
                job_.reset();
            }
        },
        Qt::QueuedConnection);
    job_->Start();
}

} // namespace arbolith
