#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <stop_token>
#include <thread>

#include "library/item_progress.h"

namespace vdk {

class TCancelToken;
class TSynchronizer;

// A long run over many files (verify, delete, collect) on a thread of its
// own, so the window stays usable. The work counts what it has done through
// Progress(); the window shows that count from a timer, and the end arrives
// as Finished on the GUI thread. A question the work must put to the user
// goes through Synchronize while the work waits.
//
// Destroying the job stops it at once: its token is cancelled, so a waiting
// Synchronize returns false and its call is dropped, the stop is requested,
// and the thread, which then is between two files, is joined. No signal
// follows a stop.
//
// Threads: made and destroyed on the GUI thread; the work runs on the job's
// thread and shares with the GUI only the atomic count and what it hands
// over before Finished.
class TBackgroundJob : public QObject {
  Q_OBJECT
 public:
  using TWork = std::function<void(TBackgroundJob& job, std::stop_token stop)>;

  // threadName: at most 15 characters ("vdk-...").
  TBackgroundJob(const char* threadName, int total, TWork work, QObject* parent = nullptr);
  ~TBackgroundJob() override;

  int Total() const { return total_; }
  int Done() const { return done_.load(std::memory_order_relaxed); }

  // For the work: counts the items done.
  TItemProgress Progress();
  // For the work: runs fn on the GUI thread while the work waits; false when
  // the job was stopped first (fn has then not run).
  bool Synchronize(std::function<void()> fn);

 signals:
  void ProgressChanged(int done, int total);
  void Finished();

 private:
  void ShowProgress();

  const int total_;
  std::atomic<int> done_ = 0;
  int shown_ = -1;
  const std::shared_ptr<TSynchronizer> synchronizer_;
  const std::shared_ptr<TCancelToken> token_;
  QTimer timer_;
  std::jthread thread_;  // last: starts once everything it uses exists
};

}  // namespace vdk
