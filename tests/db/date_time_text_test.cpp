// Dates and times as text and as the program's day counts (day 0 is 1899-12-30, the time of day
// is the fraction), on their own and through a real throwaway database.
#include "db/sql/ib_sql.h"
#include "db/sql/sql_dates.h"
#include "tests/support/attached_database.h"

#include <gtest/gtest.h>

#include <ctime>
#include <limits>
#include <optional>
#include <string_view>

namespace velkor {
namespace {

constexpr double kSecond = 1.0 / 86400;

// Day counts of well-known dates, as other programs with the same day 0 give them.
constexpr double kNewYear1900 = 2;
constexpr double kNewYear2000 = 36526;
constexpr double kLeapDay2024 = 45351;

std::optional<double> Parsed(std::string_view text)
{
    TDateTime value{-12345};
    if (!ParseDateTimeText(text, value))
        return std::nullopt;
    return value.days;
}

TEST(DateTimeText, a_date_shows_as_year_month_day_without_its_time)
{
    EXPECT_EQ(ShortDateText(TDateTime{0}), "1899-12-30");
    EXPECT_EQ(ShortDateText(TDateTime{kNewYear1900}), "1900-01-01");
    EXPECT_EQ(ShortDateText(TDateTime{kNewYear2000}), "2000-01-01");
    EXPECT_EQ(ShortDateText(TDateTime{kLeapDay2024 + 0.75}), "2024-02-29");
    EXPECT_EQ(ShortDateText(TDateTime{kLeapDay2024 + 1 - kSecond / 4}), "2024-02-29")
        << "a quarter second before midnight is still that day: fractions of a second drop";
    EXPECT_EQ(ShortDateText(TDateTime{-1.25}), "1899-12-29")
        << "before day 0 the fraction counts away from zero";
    EXPECT_EQ(ShortDateText(TDateTime{1e9}), "");
    EXPECT_EQ(ShortDateText(TDateTime{std::numeric_limits<double>::quiet_NaN()}), "");
}

TEST(DateTimeText, both_date_forms_parse_with_or_without_a_time)
{
    EXPECT_EQ(Parsed("2024-02-29"), kLeapDay2024);
    EXPECT_EQ(Parsed("29.02.2024"), kLeapDay2024);
    EXPECT_EQ(Parsed("2024-02-29 18:00"), kLeapDay2024 + 0.75);
    EXPECT_EQ(Parsed(" 01.01.2000 00:00:01 "), kNewYear2000 + kSecond);
    EXPECT_EQ(Parsed("1899-12-30 06:00"), 0.25);
    EXPECT_EQ(Parsed("1899-12-29 06:00"), -1.25);
}

TEST(DateTimeText, a_text_that_is_no_date_or_time_is_refused_and_leaves_the_value)
{
    for (const char *text : {"", "hello", "2023-02-29", "2024-13-01", "2024-00-10", "32.01.2024",
                             "2024-01-01 24:00", "2024-01-01 10:60", "2024-01-01 10:00:60",
                             "2024-01-01 10", "2024-01-01 10:30x", "0000-01-01"}) {
        TDateTime value{7};
        EXPECT_FALSE(ParseDateTimeText(text, value)) << text;
        EXPECT_EQ(value.days, 7) << text;
    }
}

TEST(DateTimeText, fields_and_day_counts_convert_both_ways_around_day_0_and_leap_days)
{
    for (int day = -800; day <= 800; ++day) {
        for (const double time :
             {0.0, 0.5, 12 * 3600 * kSecond + 34 * 60 * kSecond + 56 * kSecond}) {
            const TDateTime value{day >= 0 ? day + time : day - time};
            std::tm fields{};
            ASSERT_TRUE(SplitDateTime(value, fields)) << value.days;
            TDateTime again{};
            ASSERT_TRUE(CombineDateTime(fields, true, true, again)) << value.days;
            EXPECT_NEAR(again.days, value.days, kSecond / 100) << value.days;
        }
    }
    std::tm leap{};
    leap.tm_year = 2024 - 1900;
    leap.tm_mon = 1;
    leap.tm_mday = 29;
    leap.tm_hour = 12;
    TDateTime value{};
    ASSERT_TRUE(CombineDateTime(leap, true, true, value));
    EXPECT_EQ(value.days, kLeapDay2024 + 0.5);
    ASSERT_TRUE(CombineDateTime(leap, false, true, value));
    EXPECT_EQ(value.days, 0.5) << "the time alone";
    leap.tm_year = 2100 - 1900;
    EXPECT_FALSE(CombineDateTime(leap, true, false, value)) << "2100 is no leap year";
}

class ServerDates : public ::testing::Test
{
protected:
    void SetUp() override { sql.SetDatabase(&attached.database); }

    test::TAttachedDatabase attached{test::TTestDatabase::TContent::empty};
    TIBSQL &sql = CreateOwned<TIBSQL>(attached.owner);
};

TEST_F(ServerDates, a_timestamp_from_the_server_reads_as_its_day_count_and_its_date_text)
{
    sql.SQL().SetLines({"SELECT CAST('2024-02-29 18:00:00' AS TIMESTAMP) AS T, "
                        "CAST('1899-12-29 06:00:00' AS TIMESTAMP) AS B FROM RDB$DATABASE"});
    sql.ExecQuery();
    EXPECT_EQ(sql.Current().GetByName("T").DateTimeValue().days, kLeapDay2024 + 0.75);
    EXPECT_EQ(sql.Current().GetByName("T").StringValue(), "2024-02-29");
    EXPECT_EQ(sql.Current().GetByName("B").DateTimeValue().days, -1.25);
    EXPECT_EQ(sql.Current().GetByName("B").StringValue(), "1899-12-29");
}

TEST_F(ServerDates, a_day_count_or_a_text_sent_as_a_parameter_is_the_server_own_timestamp)
{
    sql.SQL().SetLines({"SELECT COUNT(*) FROM RDB$DATABASE "
                        "WHERE CAST(:T AS TIMESTAMP) = CAST('2024-02-29 18:00:00' AS TIMESTAMP)"});
    sql.Params().GetByName("T").SetDateTimeValue(TDateTime{kLeapDay2024 + 0.75});
    sql.ExecQuery();
    EXPECT_EQ(sql.Current()[0].IntegerValue(), 1);
    sql.CloseCursor();
    sql.Params().GetByName("T").SetStringValue("29.02.2024 18:00");
    sql.ExecQuery();
    EXPECT_EQ(sql.Current()[0].IntegerValue(), 1);
}

} // namespace
} // namespace velkor
