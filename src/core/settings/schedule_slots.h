#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "core/base/ole_date.h"
#include "core/model/reg_options.h"

namespace vdk {

// What a scheduler does with one task at one tick.
enum class TScheduledStart {
  None,     // not due, running, or already started in this slot
  Start,    // due with pending work items: TTask::Start, as Run does
  Restart,  // due with every item done: TTask::Restart, a fresh crawl
};

// Starts each task at most once per slot of its schedule. The GUI's timer and
// the headless scheduler own one each and ask it for every loaded task at
// every tick, passing their clock's now; the memory lasts for the run.
// Not thread-safe: its owner asks from one thread.
class TScheduleSlots {
 public:
  // taskId identifies the task for the run (its TaskID); running says whether
  // any of its work items runs, hasPendingWork whether any waits. A decision
  // other than None marks the slot as served.
  TScheduledStart Decide(std::string_view taskId, const TRegScheme& scheme, TDateTime now, bool running,
                         bool hasPendingWork);
  // Drops what is remembered of a task (deleted, or its schedule edited).
  void Forget(std::string_view taskId);

 private:
  std::unordered_map<std::string, TDateTime> served_;  // task id -> last slot started
};

}  // namespace vdk
