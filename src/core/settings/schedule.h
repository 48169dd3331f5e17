#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/base/ole_date.h"
#include "core/model/reg_options.h"

namespace vdk {

// A schedule starts its task every SchemeCount units from its start:
// SchemeType 1 counts hours from SchemeStartDate + SchemeStartTime, types 2, 3
// and 4 count days, weeks and 30-day months from SchemeStartDate alone.

// The unit word of a type name ("Every", "Daily", "Weekly", "Monthly",
// compared exactly); empty for any other text.
std::string UnitWordOfName(std::string_view typeName);
// The unit word of SchemeType 1 to 4; empty for any other value.
std::string UnitWordOfType(int schemeType);

// "All project will start every <count> <unit>, From <date>, <time>" with the
// locale's short date and long time; empty for type 0 or dates that cannot be
// shown.
std::string Description(const TRegScheme& scheme);

// The slot a schedule is due for at now, or none when it is not due:
// - type 1 during the ten seconds before each slot and at the slot itself;
// - types 2 to 4 all through each slot day; a start date carrying a time of
//   day is never due.
// A count below 1, an unknown type or a start outside the calendar is never
// due. The first slot at or after now is computed directly, so the cost does
// not depend on how far back the start lies.
std::optional<TDateTime> DueSlot(const TRegScheme& scheme, TDateTime now);

inline bool IsDue(const TRegScheme& scheme, TDateTime now) { return DueSlot(scheme, now).has_value(); }

}  // namespace vdk
