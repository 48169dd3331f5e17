#include "core/base/ole_date.h"

#include <chrono>
#include <cmath>
#include <cstdint>

#include "core/base/text_utils.h"

namespace vdk {
namespace {

constexpr std::int64_t kMsPerDay = 86400000;
// days_from_civil(1899, 12, 30) relative to 1970-01-01.
constexpr std::int64_t kOleEpochDays = -25569;

// Howard Hinnant's days_from_civil / civil_from_days (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

// Milliseconds since the OLE epoch on a forward-running timeline.
std::int64_t ToSerialMs(TDateTime value) {
  const double days = std::trunc(value);
  const double frac = std::fabs(value - days);
  return static_cast<std::int64_t>(days) * kMsPerDay + std::llround(frac * kMsPerDay);
}

TDateTime FromSerialMs(std::int64_t ms) {
  std::int64_t day = ms / kMsPerDay;
  std::int64_t rem = ms % kMsPerDay;
  if (rem < 0) {
    rem += kMsPerDay;
    --day;
  }
  const double frac = static_cast<double>(rem) / kMsPerDay;
  return day >= 0 ? static_cast<double>(day) + frac : static_cast<double>(day) - frac;
}

std::string FormatLocal(TDateTime value, const char* format) {
  const std::time_t t = TimeTFromDateTime(value);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buffer[128];
  const std::size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
  return std::string(buffer, n);
}

// Reads the whole text (blanks around it allowed) in a strftime format.
std::optional<std::tm> ParseLocal(std::string_view text, const char* format) {
  const std::string trimmed(Trim(text));
  std::tm tm{};
  const char* end = strptime(trimmed.c_str(), format, &tm);
  if (end == nullptr || *end != '\0') return std::nullopt;
  return tm;
}

}  // namespace

TDateTime EncodeDate(int year, int month, int day) {
  return static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                             kOleEpochDays);
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  const std::int64_t ms = ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
  return static_cast<double>(ms) / kMsPerDay;
}

TDateTime EncodeDateTime(const CivilDateTime& v) {
  const std::int64_t day =
      DaysFromCivil(v.Year, static_cast<unsigned>(v.Month), static_cast<unsigned>(v.Day)) - kOleEpochDays;
  const std::int64_t ms = ((v.Hour * 60LL + v.Minute) * 60 + v.Second) * 1000 + v.Millisecond;
  return FromSerialMs(day * kMsPerDay + ms);
}

CivilDateTime DecodeDateTime(TDateTime value) {
  const std::int64_t ms = ToSerialMs(value);
  std::int64_t day = ms / kMsPerDay;
  std::int64_t rem = ms % kMsPerDay;
  if (rem < 0) {
    rem += kMsPerDay;
    --day;
  }
  CivilDateTime out;
  CivilFromDays(day + kOleEpochDays, out.Year, out.Month, out.Day);
  out.Hour = static_cast<int>(rem / 3600000);
  out.Minute = static_cast<int>(rem / 60000 % 60);
  out.Second = static_cast<int>(rem / 1000 % 60);
  out.Millisecond = static_cast<int>(rem % 1000);
  return out;
}

double DatePart(TDateTime value) { return std::trunc(value); }

double TimePart(TDateTime value) { return std::fabs(value - std::trunc(value)); }

double OleToSerialSeconds(TDateTime value) {
  const double days = std::trunc(value);
  return days * 86400.0 + std::fabs(value - days) * 86400.0;
}

TDateTime SerialSecondsToOle(double seconds) {
  const double day = std::floor(seconds / 86400.0);
  const double frac = (seconds - day * 86400.0) / 86400.0;
  return day >= 0 ? day + frac : day - frac;
}

TDateTime DateTimeFromTimeT(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  return EncodeDateTime({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, 0});
}

TDateTime Now() {
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  const std::int64_t ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count();
  const std::time_t t = static_cast<std::time_t>(ms / 1000);
  std::tm tm{};
  localtime_r(&t, &tm);
  return EncodeDateTime(
      {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(ms % 1000)});
}

std::time_t TimeTFromDateTime(TDateTime value) {
  const CivilDateTime c = DecodeDateTime(value);
  std::tm tm{};
  tm.tm_year = c.Year - 1900;
  tm.tm_mon = c.Month - 1;
  tm.tm_mday = c.Day;
  tm.tm_hour = c.Hour;
  tm.tm_min = c.Minute;
  tm.tm_sec = c.Second;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

std::string FormatShortDate(TDateTime value) { return FormatLocal(value, "%x"); }

std::string FormatLongTime(TDateTime value) { return FormatLocal(value, "%X"); }

std::optional<TDateTime> ParseShortDate(std::string_view text) {
  const std::optional<std::tm> tm = ParseLocal(text, "%x");
  if (!tm) return std::nullopt;
  const int year = tm->tm_year + 1900, month = tm->tm_mon + 1, day = tm->tm_mday;
  const TDateTime date = EncodeDate(year, month, day);
  const CivilDateTime back = DecodeDateTime(date);  // 31 April and friends come back as another day
  if (back.Year != year || back.Month != month || back.Day != day) return std::nullopt;
  return date;
}

std::optional<TDateTime> ParseLongTime(std::string_view text) {
  const std::optional<std::tm> tm = ParseLocal(text, "%X");
  if (!tm || tm->tm_hour > 23 || tm->tm_min > 59 || tm->tm_sec > 59) return std::nullopt;
  return EncodeTime(tm->tm_hour, tm->tm_min, tm->tm_sec);
}

}  // namespace vdk
