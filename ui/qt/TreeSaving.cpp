#include "ui/qt/TreeSaving.h"

#include <algorithm>

#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QStringList>
#include <QWidget>

#include "numbers/DecimalText.h"
#include "output/WholeFile.h"
#include "ui/DialogLayout.h"
#include "ui/qt/BackgroundJob.h"
#include "ui/qt/GuardedSurface.h"

namespace arbolith {

namespace {

static_assert(kPictureWidth == kCanvasWidth && kPictureHeight == kCanvasHeight,
              "a saved picture is the canvas's");

// What the levels-of-detail dialog offers first: a mesh down to about an eighth of the
// triangles.
constexpr int kSuggestedLevelsOfDetail = 4;

// Writes the file, and names the file it ended at: an OBJ's material library may fail where the
// OBJ did not.
TreeFileResult Save(const QString& path, const TreeOrder& tree, int levelsOfDetail,
                    const std::atomic<bool>& stop) {
    StopMonitor monitor(stop);
    WriteSettings settings{ScaledSide(kPictureWidth, tree.placement.scale),
                           ScaledSide(kPictureHeight, tree.placement.scale),
                           &monitor,
                           {}};
    settings.levelsOfDetail = InfoOf(SavedFormat(path)).model ? levelsOfDetail : 0;
    return WriteTreeFile(QFile::encodeName(path).toStdString(), SavedFormat(path), tree, settings);
}

// What failed, naming the file: empty for a file written whole.
QString FailureOf(const TreeFileResult& result) {
    switch (result.outcome) {
    case WriteOutcome::Written:
        return {};
    case WriteOutcome::Stopped:
        return QObject::tr("stopped before the end");
    case WriteOutcome::Failed:
        break;
    }
    const QString reason = result.reason.empty() ? QObject::tr("the file took no more")
                                                 : QString::fromStdString(result.reason);
    return QStringLiteral("%1: %2").arg(QFile::decodeName(result.failedFile.c_str()), reason);
}

QString Bytes(std::uint64_t count) {
    return QString::fromStdString(CountText(count)) +
           (count == 1 ? QObject::tr(" byte") : QObject::tr(" bytes"));
}

QString FilterOf(const FormatInfo& info) {
    return QStringLiteral("%1 (*%2)")
        .arg(
            QString::fromLatin1(info.description.data(), static_cast<int>(info.description.size())),
            QString::fromLatin1(info.extension.data(), static_cast<int>(info.extension.size())));
}

} // namespace

Format SavedFormat(const QString& path) {
    return FormatOfPath(QFile::encodeName(path).toStdString()).value_or(Format::Png);
}

TreeSaving::TreeSaving(QObject* parent) : QObject(parent) {}

TreeSaving::~TreeSaving() = default;

void TreeSaving::Ask(QWidget* parent, const TreeOrder& tree) {
    std::vector<Format> formats;
    for (const FormatInfo& info : Formats()) {
        formats.push_back(info.format);
    }
    AskFile(parent, tree, formats, 0);
}

void TreeSaving::AskLevelsOfDetail(QWidget* parent, const TreeOrder& tree) {
    bool chosen = false;
    const int levels = QInputDialog::getInt(
        parent, tr("Levels of detail"),
        tr("LOD0 is the whole tree, each next level about half\nthe triangles of the one "
           "before. Levels in the file:"),
        kSuggestedLevelsOfDetail, 1, kMostLevelsOfDetail, 1, &chosen);
    if (!chosen) {
        parent->activateWindow();
        return;
    }
    std::vector<Format> formats;
    for (const FormatInfo& info : Formats()) {
        if (info.model) {
            formats.push_back(info.format);
        }
    }
    AskFile(parent, tree, formats, levels);
}

void TreeSaving::AskFile(QWidget* parent, const TreeOrder& tree, const std::vector<Format>& formats,
                         int levelsOfDetail) {
    QStringList filters;
    for (const Format format : formats) {
        filters.append(FilterOf(InfoOf(format)));
    }
    QString filter = filters.front();
    // A larger picture is named by how much larger, beside the canvas's own.
    const QString larger =
        tree.placement.scale != 1 ? QStringLiteral("-%1x").arg(tree.placement.scale) : QString();
    QString path = QFileDialog::getSaveFileName(
        parent, tr("Save the tree"),
        QStringLiteral("arbolith-%1%2%3")
            .arg(tree.second)
            .arg(larger)
            .arg(QString::fromLatin1(InfoOf(formats.front()).extension.data())),
        filters.join(QStringLiteral(";;")), &filter);
    // Without a window manager nothing hands the keyboard back once the file dialog is gone.
    parent->activateWindow();
    if (path.isEmpty()) {
        return;
    }
    const std::optional<Format> named = FormatOfPath(QFile::encodeName(path).toStdString());
    if (!named || std::find(formats.begin(), formats.end(), *named) == formats.end()) {
        const auto chosen = filters.indexOf(filter);
        path += QString::fromLatin1(InfoOf(formats[chosen < 0 ? 0 : chosen]).extension.data());
    }
    Start(path, tree, levelsOfDetail);
}

bool TreeSaving::Start(const QString& path, const TreeOrder& tree, int levelsOfDetail) {
    if (Going()) {
        return false;
    }
    path_ = path;
    second_ = tree.second;
    result_ = {};
    job_ = std::make_unique<BackgroundJob>(
        [this, path, tree, levelsOfDetail](const std::atomic<bool>& stop) {
            result_ = Save(path, tree, levelsOfDetail, stop);
        });
    // Queued: the job that sends it is deleted there.
    connect(job_.get(), &BackgroundJob::Finished, this, &TreeSaving::OnFinished,
            Qt::QueuedConnection);
    job_->Start();
    emit Said(tr("Saving the tree of second %1 to %2; Esc stops.").arg(second_).arg(path_));
    return true;
}

QString TreeSaving::SaveNow(const QString& path, const TreeOrder& tree, int levelsOfDetail) {
    if (Going()) {
        return tr("another file is still being saved");
    }
    const std::atomic<bool> never{false};
    return FailureOf(Save(path, tree, levelsOfDetail, never));
}

void TreeSaving::Stop() {
    if (job_) {
        job_->Stop();
    }
}

bool TreeSaving::Wait(int milliseconds) {
    return !job_ || job_->Wait(milliseconds);
}

void TreeSaving::OnFinished() {
    job_->Wait(-1);
    job_.reset();
    // What went to a stream (a FIFO, a device) is there even when the saving did not end well.
    const std::uint64_t streamed = result_.streamed;
    switch (result_.outcome) {
    case WriteOutcome::Written:
        emit Said(tr("Saved the tree of second %1 to %2.").arg(second_).arg(path_));
        break;
    case WriteOutcome::Stopped:
        emit Said(streamed == 0 ? tr("Saving stopped; nothing was written to %1.").arg(path_)
                                : tr("Saving stopped; %1 received only the first %2 of the tree.")
                                      .arg(path_, Bytes(streamed)));
        break;
    case WriteOutcome::Failed:
        emit Failed(tr("Could not save %1").arg(FailureOf(result_)) +
                    (streamed == 0 ? QString()
                                   : tr(" (it had received the first %1)").arg(Bytes(streamed))));
        break;
    }
    emit Ended();
}

} // namespace arbolith
