#include "ui/qt/BackgroundSave.h"

#include <QDeadlineTimer>
#include <QThread>

namespace arbolith {

BackgroundSave::BackgroundSave(const QString& path, const QImage& picture, const TreeRecord& tree,
                               QObject* parent)
    : QObject(parent), path_(path), picture_(picture), tree_(tree) {}

BackgroundSave::~BackgroundSave() {
    Stop();
    Wait(-1);
}

void BackgroundSave::Start() {
    if (thread_ != nullptr) {
        return;
    }
    thread_ =
        QThread::create([this] { failure_ = SavePicture(path_, picture_, tree_, &control_); });
    thread_->setParent(this);
    connect(thread_, &QThread::finished, this, &BackgroundSave::Finished);
    thread_->start();
}

void BackgroundSave::Stop() {
    control_.stop.store(true);
}

bool BackgroundSave::Wait(int milliseconds) {
    if (thread_ == nullptr) {
        return true;
    }
    return thread_->wait(milliseconds < 0 ? QDeadlineTimer(QDeadlineTimer::Forever)
                                          : QDeadlineTimer(milliseconds));
}

} // namespace arbolith
