#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/settings/schedule.h"
#include "core/settings/schedule_slots.h"

namespace vdk {
namespace {

constexpr int kHourly = 1, kDaily = 2, kWeekly = 3, kMonthly = 4;

TDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return EncodeDateTime({year, month, day, hour, minute, second, 0});
}

TRegScheme Scheme(int type, int count, TDateTime date, TDateTime time = 0.0) {
  return {count, static_cast<std::uint8_t>(type), date, time};
}

TEST(Schedule, UnitWords) {
  EXPECT_EQ(UnitWordOfName("Every"), "Hour(s)");
  EXPECT_EQ(UnitWordOfName("Daily"), "Day(s)");
  EXPECT_EQ(UnitWordOfName("Weekly"), "Week(s)");
  EXPECT_EQ(UnitWordOfName("Monthly"), "month(s)");
  EXPECT_EQ(UnitWordOfName("None"), "");
  EXPECT_EQ(UnitWordOfName("daily"), "");  // exact comparison
  EXPECT_EQ(UnitWordOfType(1), "Hour(s)");
  EXPECT_EQ(UnitWordOfType(4), "month(s)");
  EXPECT_EQ(UnitWordOfType(0), "");
  EXPECT_EQ(UnitWordOfType(5), "");
}

// Tests run in the "C" locale: %x is MM/DD/YY and %X is HH:MM:SS.
TEST(Schedule, Description) {
  EXPECT_EQ(Description(Scheme(kDaily, 3, EncodeDate(2026, 3, 1), EncodeTime(8, 0, 0))),
            "All project will start every 3 Day(s), From 03/01/26, 08:00:00");
  EXPECT_EQ(Description(Scheme(0, 3, EncodeDate(2026, 3, 1))), "");
  EXPECT_EQ(Description(Scheme(kHourly, 1, std::numeric_limits<double>::quiet_NaN())), "");
}

TEST(Schedule, HourlySlotsWithTheTenSecondWindow) {
  const TRegScheme every2h = Scheme(kHourly, 2, EncodeDate(2026, 3, 1), EncodeTime(8, 0, 0));
  EXPECT_TRUE(IsDue(every2h, At(2026, 3, 1, 9, 59, 55)));
  EXPECT_FALSE(IsDue(every2h, At(2026, 3, 1, 10, 59, 55)));  // next slot is 12:00
  EXPECT_TRUE(IsDue(every2h, At(2026, 3, 1, 11, 59, 55)));
  EXPECT_TRUE(IsDue(every2h, At(2026, 3, 1, 12, 0, 0)));
  EXPECT_FALSE(IsDue(every2h, At(2026, 3, 1, 12, 0, 11)));
  EXPECT_FALSE(IsDue(every2h, At(2026, 3, 1, 11, 59, 50)));  // the window is open at both ends
  EXPECT_EQ(DueSlot(every2h, At(2026, 3, 1, 11, 59, 55)), At(2026, 3, 1, 12, 0, 0));
}

TEST(Schedule, HourlySlotsCountFromThe1899Epoch) {
  const TRegScheme everyHour = Scheme(kHourly, 1, 0.0, 0.0);
  EXPECT_TRUE(IsDue(everyHour, At(2026, 12, 8, 14, 59, 51)));
  EXPECT_TRUE(IsDue(everyHour, At(1999, 6, 1, 23, 59, 59)));
  EXPECT_FALSE(IsDue(everyHour, At(2026, 12, 8, 14, 59, 49)));
  EXPECT_FALSE(IsDue(everyHour, At(2026, 12, 8, 14, 30, 0)));
}

TEST(Schedule, DaySlotsLastTheWholeDay) {
  const TDateTime today = EncodeDate(2026, 3, 10);
  const TRegScheme daily = Scheme(kDaily, 1, today, EncodeTime(17, 0, 0));  // the time plays no part
  EXPECT_TRUE(IsDue(daily, today));
  EXPECT_TRUE(IsDue(daily, today + EncodeTime(9, 0, 0)));
  EXPECT_TRUE(IsDue(daily, today + EncodeTime(23, 59, 59)));
  EXPECT_EQ(DueSlot(daily, today + 0.75), today);

  EXPECT_TRUE(IsDue(Scheme(kWeekly, 1, today - 7), today + 0.5));
  EXPECT_FALSE(IsDue(Scheme(kWeekly, 1, today - 6), today + 0.5));
  EXPECT_TRUE(IsDue(Scheme(kWeekly, 2, today - 14), today));
  EXPECT_FALSE(IsDue(Scheme(kWeekly, 2, today - 7), today));

  // Months are 30 days: 1 January is followed by 31 January, not 1 February.
  const TRegScheme monthly = Scheme(kMonthly, 1, EncodeDate(2026, 1, 1));
  EXPECT_TRUE(IsDue(monthly, At(2026, 1, 31, 12)));
  EXPECT_FALSE(IsDue(monthly, At(2026, 2, 1, 12)));
  EXPECT_TRUE(IsDue(monthly, At(2026, 3, 2, 12)));

  EXPECT_TRUE(IsDue(Scheme(kDaily, 1, EncodeDate(1900, 1, 1)), today));  // a start long ago
}

TEST(Schedule, FutureStarts) {
  const TDateTime start = EncodeDate(2026, 3, 10);
  const TRegScheme hourly = Scheme(kHourly, 1, start, EncodeTime(8, 0, 0));
  EXPECT_TRUE(IsDue(hourly, At(2026, 3, 10, 7, 59, 55)));
  EXPECT_FALSE(IsDue(hourly, At(2026, 3, 10, 6, 59, 55)));  // before the first slot there are none
  EXPECT_FALSE(IsDue(hourly, At(2026, 3, 9, 7, 59, 55)));
  const TRegScheme daily = Scheme(kDaily, 1, start);
  EXPECT_FALSE(IsDue(daily, At(2026, 3, 9, 23, 59, 59)));
  EXPECT_TRUE(IsDue(daily, At(2026, 3, 10, 0, 0, 0)));
}

TEST(Schedule, SchedulesThatAreNeverDue) {
  const TDateTime now = At(2026, 3, 10, 12);
  EXPECT_FALSE(IsDue(Scheme(kDaily, 1, EncodeDate(2026, 3, 1) + 0.25), now));  // a start date with a time
  for (int type : {kHourly, kDaily, kWeekly, kMonthly}) {
    SCOPED_TRACE(type);
    EXPECT_FALSE(IsDue(Scheme(type, 0, 0.0), At(2026, 3, 10)));
    EXPECT_FALSE(IsDue(Scheme(type, -3, 0.0), At(2026, 3, 10)));
    EXPECT_FALSE(IsDue(Scheme(type, 1, std::numeric_limits<double>::infinity()), now));
    EXPECT_FALSE(IsDue(Scheme(type, 1, 1e300), now));
  }
  EXPECT_FALSE(IsDue(Scheme(0, 1, 0.0), At(2026, 3, 10)));
  EXPECT_FALSE(IsDue(Scheme(7, 1, 0.0), At(2026, 3, 10)));
  // The largest count steps once without overflow.
  EXPECT_TRUE(
      IsDue(Scheme(kMonthly, std::numeric_limits<std::int32_t>::max(), EncodeDate(2026, 3, 10)), At(2026, 3, 10)));
}

// The stepping rule, one interval at a time, as reference for the direct
// computation. Nows lie half a second off whole seconds, so the rounding of
// repeated float addition cannot move a window edge across them.
bool SteppedIsDue(const TRegScheme& s, TDateTime now) {
  static constexpr double kUnit[] = {0, 1.0 / 24, 1, 7, 30};
  double next = s.SchemeType == 1 ? s.SchemeStartDate + s.SchemeStartTime : s.SchemeStartDate;
  if (s.SchemeType != 1) now = std::trunc(now);
  while (next < now) next += s.SchemeCount * kUnit[s.SchemeType];
  if (s.SchemeType == 1) return next - 10.0 / 86400 < now && now < next + 10.0 / 86400;
  return now == next;
}

TEST(Schedule, DirectSlotMatchesStepping) {
  const TDateTime base = EncodeDate(2026, 1, 1);
  int due = 0;
  for (int type : {kHourly, kDaily, kWeekly, kMonthly}) {
    for (int count : {1, 2, 3, 5}) {
      for (int startDay = 0; startDay < 40; startDay += 3) {
        const TRegScheme s = Scheme(type, count, base + startDay, EncodeTime(startDay % 24, 7, 0));
        for (int second = 0; second < 86400 * 70; second += 1187) {
          const TDateTime now = base + (second + 0.5) / 86400.0;
          ASSERT_EQ(IsDue(s, now), SteppedIsDue(s, now)) << type << " " << count << " " << startDay << " " << second;
          due += IsDue(s, now);
        }
      }
    }
  }
  EXPECT_GT(due, 1000);  // the sweep meets due slots of every kind, not only misses
}

TEST(ScheduleSlots, StartsATaskOncePerSlot) {
  TScheduleSlots slots;
  const TRegScheme daily = Scheme(kDaily, 1, EncodeDate(2026, 3, 1));
  const TDateTime morning = At(2026, 3, 10, 9);
  EXPECT_EQ(slots.Decide("a", daily, morning, false, true), TScheduledStart::Start);
  EXPECT_EQ(slots.Decide("a", daily, morning + 0.3 / 86400, false, true), TScheduledStart::None);
  EXPECT_EQ(slots.Decide("a", daily, At(2026, 3, 10, 18), false, false), TScheduledStart::None);
  EXPECT_EQ(slots.Decide("b", daily, morning, false, true), TScheduledStart::Start);  // tasks are apart
  // The next day is the next slot; a finished task is crawled afresh.
  EXPECT_EQ(slots.Decide("a", daily, At(2026, 3, 11, 0, 0, 1), false, false), TScheduledStart::Restart);

  slots.Forget("a");
  EXPECT_EQ(slots.Decide("a", daily, At(2026, 3, 11, 8), false, true), TScheduledStart::Start);
}

TEST(ScheduleSlots, RunningTasksAreLeftAloneWithoutUsingTheirSlot) {
  TScheduleSlots slots;
  const TRegScheme hourly = Scheme(kHourly, 1, EncodeDate(2026, 3, 1));
  EXPECT_EQ(slots.Decide("a", hourly, At(2026, 3, 10, 8, 59, 52), true, true), TScheduledStart::None);
  EXPECT_EQ(slots.Decide("a", hourly, At(2026, 3, 10, 8, 59, 55), false, true), TScheduledStart::Start);
  EXPECT_EQ(slots.Decide("a", hourly, At(2026, 3, 10, 9, 0, 0), false, true), TScheduledStart::None);
  EXPECT_EQ(slots.Decide("a", hourly, At(2026, 3, 10, 9, 30, 0), false, true), TScheduledStart::None);
  EXPECT_EQ(slots.Decide("a", hourly, At(2026, 3, 10, 9, 59, 58), false, true), TScheduledStart::Start);
  EXPECT_EQ(slots.Decide("a", Scheme(kHourly, 0, 0.0), At(2026, 3, 10, 10, 59, 58), false, true),
            TScheduledStart::None);
}

}  // namespace
}  // namespace vdk
