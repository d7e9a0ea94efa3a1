#include "ui/qt/BackgroundJob.h"

#include <QDeadlineTimer>
#include <QThread>

namespace arbolith {

BackgroundJob::BackgroundJob(Work work, QObject* parent)
    : QObject(parent), work_(std::move(work)) {}

BackgroundJob::~BackgroundJob() {
    Stop();
    Wait(-1);
}

void BackgroundJob::Start() {
    if (thread_ != nullptr) {
        return;
    }
    thread_ = QThread::create([this] { work_(stop_); });
    thread_->setParent(this);
    connect(thread_, &QThread::finished, this, &BackgroundJob::Finished);
    thread_->start();
}

bool BackgroundJob::Wait(int milliseconds) {
    if (thread_ == nullptr) {
        return true;
    }
    return thread_->wait(milliseconds < 0 ? QDeadlineTimer(QDeadlineTimer::Forever)
                                          : QDeadlineTimer(milliseconds));
}

} // namespace arbolith
