#include "core/settings/schedule.h"

#include <cmath>
#include <cstdint>

namespace vdk {
namespace {

struct SchemeTypeInfo {
  std::string_view Name;
  std::string_view UnitWord;
};

// Indexed by SchemeType; the names are also the items of the type lists.
constexpr SchemeTypeInfo kSchemeTypes[] = {
    {"None", ""}, {"Every", "Hour(s)"}, {"Daily", "Day(s)"}, {"Weekly", "Week(s)"}, {"Monthly", "month(s)"},
};

constexpr std::int64_t kMsPerDay = 86'400'000;
constexpr std::int64_t kMsPerHour = 3'600'000;
constexpr std::int64_t kHourlyToleranceMs = 10'000;

// 1 January 100 and 1 January 10000: dates outside come only from a damaged
// store and cannot be stepped through or shown.
constexpr double kFirstDate = -657434.0;
constexpr double kEndDate = 2958466.0;

bool InCalendar(double value) { return std::isfinite(value) && value >= kFirstDate && value < kEndDate; }

// The first of base + k * step (k = 0, 1, ...) that is not before now.
std::int64_t FirstSlotFrom(std::int64_t base, std::int64_t step, std::int64_t now) {
  if (now <= base) return base;
  return base + (now - base + step - 1) / step * step;
}

// Slots every count hours from start date + start time, compared on the
// plain day-number scale (as the stepping rule adds and compares) in whole
// milliseconds.
std::optional<TDateTime> HourlySlot(const TRegScheme& scheme, TDateTime now) {
  const double start = scheme.SchemeStartDate + scheme.SchemeStartTime;
  if (!InCalendar(start)) return std::nullopt;
  const std::int64_t nowMs = std::llround(now * kMsPerDay);
  const std::int64_t next =
      FirstSlotFrom(std::llround(start * kMsPerDay), std::int64_t{scheme.SchemeCount} * kMsPerHour, nowMs);
  // next is never before now, so only the lower edge of the window counts.
  if (next - nowMs >= kHourlyToleranceMs) return std::nullopt;
  return static_cast<double>(next) / kMsPerDay;
}

// Slot days every count units from the start date; due on the whole day.
std::optional<TDateTime> DaySlot(const TRegScheme& scheme, TDateTime now, std::int64_t unitDays) {
  const double start = scheme.SchemeStartDate;
  // Slots of a start that carries a time of day never fall on a midnight.
  if (DatePart(start) != start) return std::nullopt;
  const auto today = static_cast<std::int64_t>(DatePart(now));
  const std::int64_t next =
      FirstSlotFrom(static_cast<std::int64_t>(start), std::int64_t{scheme.SchemeCount} * unitDays, today);
  if (next != today) return std::nullopt;
  return static_cast<double>(today);
}

}  // namespace

std::string UnitWordOfName(std::string_view typeName) {
  for (const SchemeTypeInfo& type : kSchemeTypes)
    if (type.Name == typeName) return std::string(type.UnitWord);
  return {};
}

std::string UnitWordOfType(int schemeType) {
  if (schemeType < 1 || schemeType >= static_cast<int>(std::size(kSchemeTypes))) return {};
  return std::string(kSchemeTypes[schemeType].UnitWord);
}

std::string Description(const TRegScheme& scheme) {
  if (scheme.SchemeType == 0) return {};
  if (!InCalendar(scheme.SchemeStartDate) || !InCalendar(scheme.SchemeStartTime)) return {};
  return "All project will start every " + std::to_string(scheme.SchemeCount) + " " +
         UnitWordOfType(scheme.SchemeType) + ", From " + FormatShortDate(scheme.SchemeStartDate) + ", " +
         FormatLongTime(scheme.SchemeStartTime);
}

std::optional<TDateTime> DueSlot(const TRegScheme& scheme, TDateTime now) {
  if (scheme.SchemeCount < 1 || !InCalendar(now) || !InCalendar(scheme.SchemeStartDate)) return std::nullopt;
  switch (scheme.SchemeType) {
    case 1:
      return HourlySlot(scheme, now);
    case 2:
      return DaySlot(scheme, now, 1);
    case 3:
      return DaySlot(scheme, now, 7);
    case 4:
      return DaySlot(scheme, now, 30);
    default:
      return std::nullopt;
  }
}

}  // namespace vdk
