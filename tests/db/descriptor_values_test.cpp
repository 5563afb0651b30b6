// Values written into and read from descriptor entries, through a real database's statements.
#include "db/ib_error.h"
#include "db/ib_sql.h"
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

} // namespace
} // namespace velkor
