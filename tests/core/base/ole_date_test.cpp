#include <gtest/gtest.h>

#include <chrono>

#include "core/base/ole_date.h"

namespace vdk {
namespace {

TEST(OleDate, EpochAndKnownDates) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
  EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
  EXPECT_DOUBLE_EQ(EncodeTime(6, 0, 0), 0.25);
  EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0), 0.5);
}

TEST(OleDate, NegativeDatesCountTimeForwards) {
  const CivilDateTime morning{1899, 12, 29, 6, 0, 0, 0};
  EXPECT_DOUBLE_EQ(EncodeDateTime(morning), -1.25);
  EXPECT_EQ(DecodeDateTime(-1.25), morning);
  EXPECT_DOUBLE_EQ(TimePart(-1.25), 0.25);
  EXPECT_DOUBLE_EQ(DatePart(-1.25), -1.0);
  // 29 Dec 06:00 comes after 29 Dec 00:00 on the serial timeline.
  EXPECT_GT(OleToSerialSeconds(-1.25), OleToSerialSeconds(-1.0));
  EXPECT_DOUBLE_EQ(SerialSecondsToOle(OleToSerialSeconds(-1.25)), -1.25);
}

TEST(OleDate, DecodeRoundsToMillisecondsAndCarriesIntoTheNextDay) {
  const CivilDateTime c{2026, 12, 8, 21, 46, 45, 123};
  EXPECT_EQ(DecodeDateTime(EncodeDateTime(c)), c);
  const CivilDateTime nextDay = DecodeDateTime(EncodeDate(2024, 2, 28) + 0.9999999999);
  EXPECT_EQ(nextDay, (CivilDateTime{2024, 2, 29, 0, 0, 0, 0}));
}

// The bounds read the same clock as Now(): time() reads a coarser clock that may
// still show the previous second.
std::time_t WholeSecondsNow() {
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<std::time_t>(std::chrono::floor<std::chrono::seconds>(sinceEpoch).count());
}

TEST(OleDate, NowIsTheLocalTimeWithMilliseconds) {
  const std::time_t before = WholeSecondsNow();
  const TDateTime now = Now();
  const std::time_t after = WholeSecondsNow();
  EXPECT_GE(now, DateTimeFromTimeT(before));
  EXPECT_LT(now, DateTimeFromTimeT(after + 1));
}

TEST(OleDate, LocalTimeRoundTrip) {
  const std::time_t t = 1765230405;  // a whole second
  EXPECT_EQ(TimeTFromDateTime(DateTimeFromTimeT(t)), t);
}

// The dialogs show dates and times in these formats and read back what the
// user leaves there: every shown value reads back as itself.
TEST(OleDate, ShortDateAndLongTimeReadBackWhatTheyShow) {
  const TDateTime date = EncodeDate(2025, 3, 1);
  EXPECT_EQ(ParseShortDate(FormatShortDate(date)), date);
  EXPECT_EQ(ParseShortDate("  " + FormatShortDate(date) + " "), date);
  const TDateTime time = EncodeTime(14, 3, 27);
  const std::optional<TDateTime> parsed = ParseLongTime(FormatLongTime(time));
  ASSERT_TRUE(parsed.has_value());
  EXPECT_NEAR(*parsed, time, 1e-9);

  for (const char* bad : {"", "soon", "13/45/25", "02/30/25", "03/01/25x"})
    EXPECT_FALSE(ParseShortDate(bad).has_value()) << bad;
  for (const char* bad : {"", "noon", "25:00:00", "12:60:00", "08:00:00 extra"})
    EXPECT_FALSE(ParseLongTime(bad).has_value()) << bad;
}

}  // namespace
}  // namespace vdk
