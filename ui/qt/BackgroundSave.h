#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include "ui/qt/GuardedSurface.h"
#include "ui/qt/PictureFile.h"

class QThread;

namespace arbolith {

// Writes a picture file on a thread of its own: an SVG draws the whole tree again, which for a
// large tree takes as long as its run did. It uses the process-wide generator, so no run may
// be going meanwhile.
class BackgroundSave : public QObject {
    Q_OBJECT

public:
    BackgroundSave(const QString& path, const QImage& picture, const TreeRecord& tree,
                   QObject* parent = nullptr);
    // Stops the writing, which then leaves no file, and waits for its thread.
    ~BackgroundSave() override;

    void Start();
    void Stop();
    // Waits at most `milliseconds` (negative: without limit); true once the thread ended.
    bool Wait(int milliseconds);

    const QString& Path() const { return path_; }
    // Once it has ended: empty on success, else why nothing was written.
    const QString& Failure() const { return failure_; }
    bool Stopped() const { return control_.stop.load(); }

signals:
    // Emitted on the save's own thread when it has ended.
    void Finished();

private:
    QString path_;
    QImage picture_;
    TreeRecord tree_;
    RunControl control_;
    QString failure_;
    QThread* thread_ = nullptr;
};

} // namespace arbolith
