#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace vdk {

// Dates and times are OLE automation dates: days since 30 December 1899 as a
// double, the fraction being the time of day. Before the epoch the integral
// part counts days backwards while the fraction still adds time forwards
// (-1.25 is 29 December 1899, 06:00).
using TDateTime = double;

struct CivilDateTime {
  int Year = 1899, Month = 12, Day = 30;
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
  bool operator==(const CivilDateTime&) const = default;
};

TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond = 0);
TDateTime EncodeDateTime(const CivilDateTime& value);
CivilDateTime DecodeDateTime(TDateTime value);

// Whole days of a date (towards the epoch's calendar, not towards zero) and the
// time-of-day fraction, both following the OLE sign convention above.
double DatePart(TDateTime value);
double TimePart(TDateTime value);

// Seconds since the epoch of the date, counting time of day forwards: the
// linear timeline that date comparisons and schedule arithmetic need.
double OleToSerialSeconds(TDateTime value);
TDateTime SerialSecondsToOle(double seconds);

// Conversion through the local time zone, as the clock shows it.
TDateTime DateTimeFromTimeT(std::time_t t);
// The current local date and time, to the millisecond.
TDateTime Now();
std::time_t TimeTFromDateTime(TDateTime value);

// The locale's short date (%x) and long time (%X) of a local date-time, as the
// log lines and the schedule description show them.
std::string FormatShortDate(TDateTime value);
std::string FormatLongTime(TDateTime value);
// Their inverses: a date (whole days) or a time of day (a fraction) read in
// the same formats; none when the text does not hold one.
std::optional<TDateTime> ParseShortDate(std::string_view text);
std::optional<TDateTime> ParseLongTime(std::string_view text);

}  // namespace vdk
