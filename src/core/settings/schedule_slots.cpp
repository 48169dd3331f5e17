#include "core/settings/schedule_slots.h"

#include "core/settings/schedule.h"

namespace vdk {

TScheduledStart TScheduleSlots::Decide(std::string_view taskId, const TRegScheme& scheme, TDateTime now, bool running,
                                       bool hasPendingWork) {
  if (running) return TScheduledStart::None;
  const auto slot = DueSlot(scheme, now);
  if (!slot) return TScheduledStart::None;
  const auto [it, added] = served_.try_emplace(std::string(taskId), *slot);
  if (!added) {
    if (it->second == *slot) return TScheduledStart::None;
    it->second = *slot;
  }
  return hasPendingWork ? TScheduledStart::Start : TScheduledStart::Restart;
}

void TScheduleSlots::Forget(std::string_view taskId) { served_.erase(std::string(taskId)); }

}  // namespace vdk
