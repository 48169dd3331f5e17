#include "ui/common/flush_pacer.h"

#include <algorithm>

namespace vdk {

TFlushPacer::TFlushPacer(int intervalMilliseconds, std::function<void()> flush) : interval_(intervalMilliseconds) {
  timer_.setSingleShot(true);
  QObject::connect(&timer_, &QTimer::timeout, std::move(flush));
}

void TFlushPacer::Request() {
  if (timer_.isActive()) return;
  const qint64 since = sinceFlush_.isValid() ? sinceFlush_.elapsed() : interval_;
  timer_.start(static_cast<int>(std::max<qint64>(0, interval_ - since)));
}

void TFlushPacer::Flushed() {
  timer_.stop();
  sinceFlush_.start();
}

}  // namespace vdk
