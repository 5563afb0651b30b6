#include "framework/exceptions.h"
#include "framework/text.h"

#include <gtest/gtest.h>

namespace velkor {
namespace {

TEST(Text, integers_from_text)
{
    EXPECT_EQ(StrToInt("20000"), 20000);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt(" 7"), 7);
    EXPECT_EQ(StrToInt("$FF"), 255);
    for (const char *bad : {"", " ", "12a", "2147483648", "7 ", "--1", "$", "1.5"}) {
        try {
            (void)StrToInt(bad);
            ADD_FAILURE() << bad;
        } catch (const EConvertError &error) {
            EXPECT_EQ(std::string(error.what()),
                      "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
}

TEST(Text, trimming_and_case)
{
    EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
    EXPECT_EQ(TrimRight("  x  "), "  x");
    EXPECT_EQ(LowerCase("LC_CTYPE=WIN1251"), "lc_ctype=win1251");
    EXPECT_EQ(AnsiUpperCase("abc\xb8\xe0"), "ABC\xa8\xc0");
    EXPECT_TRUE(SameText("Proc_Id", "PROC_ID"));
}

TEST(Text, format_checks_its_arguments)
{
    EXPECT_EQ(Format("%s=%d%%", {std::string("a"), std::int64_t{5}}), "a=5%");
    EXPECT_THROW((void)Format("%d", {std::string("a")}), EConvertError);
    EXPECT_THROW((void)Format("%s %s", {std::string("a")}), EConvertError);
    EXPECT_THROW((void)Format("%x", {std::int64_t{1}}), EConvertError);
    EXPECT_THROW((void)Format("trailing %", {}), EConvertError);
}

} // namespace
} // namespace velkor
