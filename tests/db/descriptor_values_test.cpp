// Values written into and read from descriptor entries, through a real database's statements.
#include "db/client/ib_error.h"
#include "db/sql/ib_sql.h"
#include "tests/support/statement_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace velkor {
namespace {

using test::ClientErrorOf;
using DescriptorValues = test::StatementFixture;

TEST_F(DescriptorValues, a_scaled_integer_reads_as_a_double_of_15_significant_digits)
{
    Text("SELECT PROC_ID FROM VELKOR_PROCESS WHERE PROC_ID = :ID");
    TIBXSQLVAR &id = sql.Params()[0];
    id.SetCurrencyValue(TCurrency{123456789012345678}); // 12345678901234.5678
    EXPECT_EQ(id.DoubleValue(), 12345678901234.6);
    id.SetCurrencyValue(TCurrency{1234500});
    EXPECT_EQ(id.DoubleValue(), 123.45);
    id.SetCurrencyValue(TCurrency{-98765432109876543});
    EXPECT_EQ(id.DoubleValue(), -9876543210987.65);
}

TEST_F(DescriptorValues, a_timestamp_drops_the_fraction_of_its_second)
{
    Text("SELECT CAST(:T AS TIMESTAMP) FROM RDB$DATABASE");
    TIBXSQLVAR &stamp = sql.Params()[0];
    const double noon = 45000.5;
    stamp.SetDateTimeValue(TDateTime{noon + 0.7 / 86400});
    sql.ExecQuery();
    EXPECT_EQ(sql.Current()[0].DateTimeValue(), TDateTime{noon}) << "12:00:00.7 is 12:00:00";
    sql.CloseCursor();
    stamp.SetDateTimeValue(TDateTime{45000.0 + 86399.9 / 86400});
    sql.ExecQuery();
    EXPECT_EQ(sql.Current()[0].DateTimeValue(), TDateTime{45000.0 + 86399.0 / 86400})
        << "the last second of a day stays on that day";
    sql.CloseCursor();
    stamp.SetDateTimeValue(TDateTime{noon + 2.0 / 86400});
    sql.ExecQuery();
    EXPECT_EQ(sql.Current()[0].DateTimeValue(), TDateTime{noon + 2.0 / 86400})
        << "whole seconds stay whole";
}

TEST_F(DescriptorValues, integers_beyond_a_double_s_53_bits_stay_exact)
{
    Text("SELECT PROC_ID FROM VELKOR_PROCESS WHERE PROC_ID = :ID");
    TIBXSQLVAR &id = sql.Params()[0];
    for (const std::int64_t value : {(std::int64_t{1} << 53) + 1, INT64_MAX, INT64_MIN + 1}) {
        id.SetInt64Value(value);
        EXPECT_EQ(id.Int64Value(), value);
        EXPECT_EQ(id.StringValue(), std::to_string(value));
    }
    id.SetStringValue("9007199254740993");
    EXPECT_EQ(id.Int64Value(), 9007199254740993) << "parsed from text, not through a double";
}

TEST_F(DescriptorValues, a_text_longer_than_its_length_field_is_refused_with_nothing_lost)
{
    Text("SELECT PROC_ID FROM VELKOR_PROCESS WHERE PROC_NAME = :NAME");
    TIBXSQLVAR &name = sql.Params()[0];
    name.SetStringValue("scheduler");
    EXPECT_EQ(ClientErrorOf([&] { name.SetStringValue(std::string(32768, 'x')); }),
              "Invalid data conversion");
    EXPECT_EQ(name.StringValue(), "scheduler");
    sql.ExecQuery();
    EXPECT_EQ(sql.Current()[0].IntegerValue(), 1);
    sql.CloseCursor();
    name.SetStringValue(std::string(32767, 'x'));
    EXPECT_EQ(name.Length(), 32767);
    EXPECT_EQ(name.StringValue().size(), 32767u);
}

} // namespace
} // namespace velkor
