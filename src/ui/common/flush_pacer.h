#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <functional>

namespace vdk {

// Paces a view's gathered changes: after a quiet spell the flush comes on the
// next pass of the event loop, and later ones at most once per interval, so
// many small changes cost the view one layout and paint per interval. GUI
// thread only.
class TFlushPacer {
 public:
  TFlushPacer(int intervalMilliseconds, std::function<void()> flush);

  // Schedules a flush unless one is scheduled.
  void Request();
  // Drops the scheduled flush.
  void Cancel() { timer_.stop(); }
  // The owner has just flushed: the next interval starts now.
  void Flushed();

 private:
  const int interval_;
  QTimer timer_;
  QElapsedTimer sinceFlush_;
};

}  // namespace vdk
