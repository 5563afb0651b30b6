// Client errors and the small shared routines of the layer.
#include "db/client/byte_block.h"
#include "db/client/ib_error.h"
#include "db/sql/identifiers.h"
#include "db/sql/random_digits.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace velkor {
namespace {

std::string ClientMessage(int code, std::initializer_list<TFormatArg> args = {})
{
    try {
        RaiseClientError(code, args);
    } catch (const EIBClientError &error) {
        EXPECT_EQ(error.SQLCode(), code);
        EXPECT_EQ(error.ServerErrorCode(), 0);
        return error.what();
    }
    return "not raised";
}

TEST(ClientErrors, messages_are_formatted_with_their_arguments)
{
    EXPECT_EQ(ClientMessage(1), "InterBase library gds32.dll not found in the path. Please "
                                "install InterBase to use this functionality");
    EXPECT_EQ(ClientMessage(11, {std::string("page_size")}),
              "DPB Constant (isc_dpb_page_size) is unsupported");
    EXPECT_EQ(ClientMessage(12, {std::int64_t{0}}), "DPB Constant (0) is unknown");
    EXPECT_EQ(ClientMessage(35, {std::int64_t{-7}}), "Unknown SQL Data type (-7)");
    EXPECT_EQ(ClientMessage(46, {std::string("PROC_ID")}), "Field \"PROC_ID\" not found");
    EXPECT_EQ(ClientMessage(55, {std::string("near x")}), "SQL Parse Error:\r\n\r\nnear x");
    EXPECT_EQ(ClientMessage(16), "Cannot perform operation -- DB is currently open");
    EXPECT_EQ(ClientMessage(87), "SQL Dialect Invalid");
}

TEST(ClientErrors, reserved_and_out_of_range_codes_say_unknown_error)
{
    EXPECT_EQ(ClientMessage(2), "Unknown error");
    EXPECT_EQ(ClientMessage(97), "Unknown error");
    EXPECT_EQ(ClientMessage(98), "Unknown error");
    EXPECT_EQ(ClientMessage(-1), "Unknown error");
}

TEST(ClientErrors, an_argument_of_the_wrong_kind_is_a_conversion_error_not_a_crash)
{
    EXPECT_THROW(RaiseClientError(12, {std::string("x")}), EConvertError);
    EXPECT_THROW(RaiseClientError(11), EConvertError);
}

TEST(Identifiers, quoting_by_dialect)
{
    EXPECT_EQ(QuoteIdentifier(3, "my\"name  "), "\"my\"\"name\"");
    EXPECT_EQ(QuoteIdentifier(3, "  lead"), "\"  lead\"");
    EXPECT_EQ(QuoteIdentifier(1, "  proc_id  "), "PROC_ID");
    EXPECT_EQ(QuoteIdentifier(1, "\xE8\xec\xff"), "\xC8\xCC\xDF") << "WIN1251 Cyrillic";
    EXPECT_EQ(FormatIdentifier(1, " proc_name "), "PROC_NAME");
    EXPECT_EQ(FormatIdentifier(3, " Mixed \"x\" "), " Mixed \"x\" ");
}

TEST(RandomDigits, always_exactly_the_length_asked_and_only_digits)
{
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        const std::string digits = RandomDigits(8);
        ASSERT_EQ(digits.size(), 8u);
        EXPECT_EQ(digits.find_first_not_of("0123456789"), std::string::npos);
        seen.insert(digits);
    }
    EXPECT_GT(seen.size(), 150u);
    EXPECT_EQ(RandomDigits(0), "");
    EXPECT_EQ(RandomDigits(25).size(), 25u);
}

TEST(ResizeZeroed, grows_zero_filled_keeps_contents_and_frees_at_zero)
{
    TByteBlock block;
    ResizeZeroed(block, 0, 10);
    ASSERT_NE(block.Data(), nullptr);
    std::memset(block.Data(), 0x5A, 10);
    ResizeZeroed(block, 10, 20);
    EXPECT_EQ(block.Size(), 20u);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(block.Data()[i], 0x5A);
    for (int i = 10; i < 20; ++i)
        EXPECT_EQ(block.Data()[i], 0);
    ResizeZeroed(block, 20, 0);
    EXPECT_EQ(block.Data(), nullptr);
    EXPECT_EQ(block.Size(), 0u);
}

} // namespace
} // namespace velkor
