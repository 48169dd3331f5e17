#include "ui/common/background_job.h"

#include <pthread.h>

#include <QCoreApplication>

#include "core/run/cancel_token.h"
#include "ui/common/qt_synchronizer.h"

namespace vdk {
namespace {

// How often the window shows the count.
constexpr int kProgressIntervalMs = 100;

}  // namespace

TBackgroundJob::TBackgroundJob(const char* threadName, int total, TWork work, QObject* parent)
    : QObject(parent),
      total_(total),
      synchronizer_(std::make_shared<TQtSynchronizer>(QCoreApplication::instance())),
      token_(std::make_shared<TCancelToken>()),
      thread_([this, threadName, work = std::move(work)](std::stop_token stop) {
        ::pthread_setname_np(::pthread_self(), threadName);
        work(*this, stop);
        if (stop.stop_requested()) return;
        // Queued on the job: dropped when the job is destroyed first.
        QMetaObject::invokeMethod(
            this,
            [this] {
              // The thread only returns after this post: joined, everything
              // its work wrote is the window's to read, as the race checker
              // sees too (Qt's own locks are invisible to it).
              thread_.join();
              timer_.stop();
              ShowProgress();
              emit Finished();
            },
            Qt::QueuedConnection);
      }) {
  connect(&timer_, &QTimer::timeout, this, &TBackgroundJob::ShowProgress);
  timer_.start(kProgressIntervalMs);
}

TBackgroundJob::~TBackgroundJob() {
  token_->Cancel();
  thread_.request_stop();
  if (thread_.joinable()) thread_.join();
}

TItemProgress TBackgroundJob::Progress() {
  return [this](int done) { done_.store(done, std::memory_order_relaxed); };
}

bool TBackgroundJob::Synchronize(std::function<void()> fn) { return synchronizer_->Synchronize(token_, std::move(fn)); }

void TBackgroundJob::ShowProgress() {
  const int done = Done();
  if (done == shown_) return;
  shown_ = done;
  emit ProgressChanged(done, total_);
}

}  // namespace vdk
