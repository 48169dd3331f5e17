#pragma once

#include <chrono>

namespace vdk {

class TTask;

// Saves a running task to its file at most once per interval, as Stop would
// save it (the items that run are not done), so that a crash or a power cut
// costs at most one interval of work. The owner's timer calls Tick; the
// command-line runner and the desktop program both do.
// Threads: main thread only (it reads the task's fields).
class TCheckpoint {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::seconds kInterval{30};

  // The first interval counts from start, when the task has just been saved.
  explicit TCheckpoint(Clock::duration interval = kInterval, Clock::time_point start = Clock::now());

  // Saves the task when it runs, has a file and a whole interval has passed
  // since the last save; true when it saved. Raises EFileError as
  // SaveToFile does; the interval starts again either way, so a failing disk
  // is not tried on every tick.
  bool Tick(const TTask& task, Clock::time_point now = Clock::now());

 private:
  Clock::duration interval_;
  Clock::time_point last_;
};

}  // namespace vdk
