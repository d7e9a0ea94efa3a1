#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QObject>
#include <QString>

#include "output/Formats.h"
#include "output/WholeFile.h"
#include "tree/TreeOrder.h"

class QWidget;

namespace arbolith {

class BackgroundJob;

// Saves trees to files, in any format of the table, on a thread of its own: a large tree takes as
// long to write as it took to draw. One file is saved at a time; drawing goes on meanwhile.
class TreeSaving : public QObject {
    Q_OBJECT

public:
    explicit TreeSaving(QObject* parent = nullptr);
    ~TreeSaving() override;

    // Asks for a file name, with a type for every format, and saves the tree there.
    void Ask(QWidget* parent, const TreeOrder& tree);
    // Asks how many levels of detail, then for a file name with a type for each 3-D format, and
    // saves that many meshes of the tree there.
    void AskLevelsOfDetail(QWidget* parent, const TreeOrder& tree);
    // Saves the tree to `path`, in the format its extension names (PNG for any other), with
    // `levelsOfDetail` meshes for a 3-D file (0: the one full mesh), on the saving's thread;
    // false if another file is still being saved.
    bool Start(const QString& path, const TreeOrder& tree, int levelsOfDetail = 0);
    // The same, waiting for the end: an empty text on success, else what failed.
    QString SaveNow(const QString& path, const TreeOrder& tree, int levelsOfDetail = 0);

    bool Going() const { return job_ != nullptr; }
    // Stops the saving, which then leaves no file; a stream keeps what it has received.
    void Stop();
    // Waits at most `milliseconds` (negative: without limit); true once nothing is being saved.
    bool Wait(int milliseconds);

signals:
    // What to tell the user: a saving started, ended or was stopped.
    void Said(const QString& text);
    // Saving failed; `message` names the file and the reason.
    void Failed(const QString& message);
    void Ended();

private:
    // Asks for a file name among the formats, named `suggested` with the first's extension, and
    // saves the tree there.
    void AskFile(QWidget* parent, const TreeOrder& tree, const std::vector<Format>& formats,
                 int levelsOfDetail);
    void OnFinished();

    std::unique_ptr<BackgroundJob> job_;
    QString path_;
    std::uint32_t second_ = 0;
    TreeFileResult result_;
};

// The format a file name's extension names, PNG for any other.
Format SavedFormat(const QString& path);

} // namespace arbolith
