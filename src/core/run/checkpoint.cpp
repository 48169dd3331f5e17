#include "core/run/checkpoint.h"

#include "core/model/task.h"

namespace vdk {

TCheckpoint::TCheckpoint(Clock::duration interval, Clock::time_point start) : interval_(interval), last_(start) {}

bool TCheckpoint::Tick(const TTask& task, Clock::time_point now) {
  if (task.Stopped() || task.FileName.empty() || now - last_ < interval_) return false;
  last_ = now;
  task.SaveToFile(task.FileName);
  return true;
}

}  // namespace vdk
