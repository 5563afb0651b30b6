#include "db/sql/sql_dates.h"

#include "framework/text.h"

#include <cmath>
#include <cstdio>

namespace velkor {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) noexcept
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, long long &y, unsigned &m, unsigned &d) noexcept
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

// Day 0 of the program's dates is 1899-12-30.
constexpr long long kEpochOffset = 25569;

bool IsLeap(long long y) noexcept
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

bool ValidDate(long long y, int m, int d) noexcept
{
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1)
        return false;
    return d <= lengths[m - 1] + (m == 2 && IsLeap(y) ? 1 : 0);
}

bool ValidTime(int h, int min, int s) noexcept
{
    return h >= 0 && h < 24 && min >= 0 && min < 60 && s >= 0 && s < 60;
}

} // namespace

bool CombineDateTime(const std::tm &fields, bool withDate, bool withTime, TDateTime &value) noexcept
{
    double days = 0;
    if (withDate) {
        const long long year = fields.tm_year + 1900LL;
        if (!ValidDate(year, fields.tm_mon + 1, fields.tm_mday))
            return false;
        days = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(fields.tm_mon + 1),
                                                 static_cast<unsigned>(fields.tm_mday)) +
                                   kEpochOffset);
    }
    if (withTime) {
        if (!ValidTime(fields.tm_hour, fields.tm_min, fields.tm_sec))
            return false;
        const double time =
            (fields.tm_hour * 3600.0 + fields.tm_min * 60.0 + fields.tm_sec) / 86400.0;
        // Before day 0 the fraction counts away from zero, as the day does.
        days = days >= 0 ? days + time : days - time;
    }
    value = TDateTime{days};
    return true;
}

bool SplitDateTime(TDateTime value, std::tm &fields) noexcept
{
    if (!std::isfinite(value.days) || std::fabs(value.days) > 3.0e6)
        return false;
    const double whole = std::trunc(value.days);
    // Rounded to the millisecond, which a day count holds only approximately; then the
    // fraction of the second is dropped, as the broken-down fields have none.
    long long milliseconds = std::llround(std::fabs(value.days - whole) * 86400000.0);
    long long day = static_cast<long long>(whole);
    if (milliseconds >= 86400000) {
        milliseconds -= 86400000;
        day += value.days >= 0 ? 1 : -1;
    }
    const long long seconds = milliseconds / 1000;
    long long y = 0;
    unsigned m = 0;
    unsigned d = 0;
    CivilFromDays(day - kEpochOffset, y, m, d);
    if (!ValidDate(y, static_cast<int>(m), static_cast<int>(d)))
        return false;
    fields = std::tm{};
    fields.tm_year = static_cast<int>(y - 1900);
    fields.tm_mon = static_cast<int>(m) - 1;
    fields.tm_mday = static_cast<int>(d);
    fields.tm_hour = static_cast<int>(seconds / 3600);
    fields.tm_min = static_cast<int>(seconds / 60 % 60);
    fields.tm_sec = static_cast<int>(seconds % 60);
    return true;
}

std::string ShortDateText(TDateTime value)
{
    std::tm fields{};
    if (!SplitDateTime(value, fields))
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", fields.tm_year + 1900, fields.tm_mon + 1,
                  fields.tm_mday);
    return text;
}

bool ParseDateTimeText(std::string_view text, TDateTime &value)
{
    const std::string trimmed = Trim(text);
    int a = 0, b = 0, c = 0, h = 0, min = 0, s = 0;
    int used = 0;
    std::tm fields{};
    if (std::sscanf(trimmed.c_str(), "%4d-%2d-%2d%n", &a, &b, &c, &used) == 3) {
        fields.tm_year = a - 1900;
        fields.tm_mon = b - 1;
        fields.tm_mday = c;
    } else if (std::sscanf(trimmed.c_str(), "%2d.%2d.%4d%n", &a, &b, &c, &used) == 3) {
        fields.tm_year = c - 1900;
        fields.tm_mon = b - 1;
        fields.tm_mday = a;
    } else {
        return false;
    }
    const std::string rest = Trim(std::string_view(trimmed).substr(static_cast<std::size_t>(used)));
    if (!rest.empty()) {
        int timeUsed = 0;
        const int read =
            std::sscanf(rest.c_str(), "%2d:%2d%n:%2d%n", &h, &min, &timeUsed, &s, &timeUsed);
        if (read < 2 || static_cast<std::size_t>(timeUsed) != rest.size())
            return false;
    }
    fields.tm_hour = h;
    fields.tm_min = min;
    fields.tm_sec = s;
    return CombineDateTime(fields, true, true, value);
}

} // namespace velkor
