// The marker scanner alone: no server is needed to see what it makes of a text.
#include "db/client/ib_error.h"
#include "db/sql/translate_params.h"

#include <gtest/gtest.h>

namespace velkor {
namespace {

std::string ErrorOf(std::string_view sql, bool autoNames = false)
{
    try {
        (void)TranslateParams(sql, autoNames);
    } catch (const EIBClientError &error) {
        EXPECT_EQ(error.SQLCode(), ClientError::SQLParseError);
        return error.what();
    }
    return "no error";
}

TEST(TranslateParams, a_repeated_name_gives_two_markers)
{
    const auto t = TranslateParams("SELECT * FROM T WHERE A = :A AND B = :A\r\n", false);
    EXPECT_EQ(t.text, "SELECT * FROM T WHERE A = ? AND B = ?\r\n");
    EXPECT_EQ(t.names, (std::vector<std::string>{"A", "A"}));
}

TEST(TranslateParams, markers_inside_literals_and_comments_are_left_alone)
{
    const auto t =
        TranslateParams("WHERE NAME = 'a:b' /* :X */ AND Q = 'it''s' AND \"c:d\" = 1\r\n", false);
    EXPECT_EQ(t.text, "WHERE NAME = 'a:b' /* :X */ AND Q = 'it''s' AND \"c:d\" = 1\r\n");
    EXPECT_TRUE(t.names.empty());
}

TEST(TranslateParams, a_line_comment_hides_quotes_and_markers_to_its_line_end)
{
    const auto t = TranslateParams("SELECT 1 -- it's :NOT a marker\r\nFROM T WHERE A = :A -- :B\r\n"
                                   "AND B = 'x--y' AND C = :C\r\n",
                                   false);
    EXPECT_EQ(t.text, "SELECT 1 -- it's :NOT a marker\r\nFROM T WHERE A = ? -- :B\r\n"
                      "AND B = 'x--y' AND C = ?\r\n");
    EXPECT_EQ(t.names, (std::vector<std::string>{"A", "C"}));
    const auto last = TranslateParams("SELECT 1 FROM T -- it's the end", false);
    EXPECT_EQ(last.text, "SELECT 1 FROM T -- it's the end") << "a comment may end the text";
    EXPECT_TRUE(last.names.empty());
    EXPECT_EQ(TranslateParams("X = 5 - -3 /* - */ -:A\r\n", false).names,
              std::vector<std::string>{"A"})
        << "a single minus is no comment";
}

TEST(TranslateParams, the_character_ending_a_name_is_copied_unexamined)
{
    const auto t = TranslateParams(":A:B\r\n", false);
    EXPECT_EQ(t.text, "?:B\r\n");
    EXPECT_EQ(t.names, (std::vector<std::string>{"A"}));
    const auto quoted = TranslateParams("X = :\"my name\" + 1\r\n", false);
    EXPECT_EQ(quoted.text, "X = ? + 1\r\n");
    EXPECT_EQ(quoted.names, (std::vector<std::string>{"my name"}));
}

TEST(TranslateParams, a_quote_or_comment_right_after_a_name_is_scanned_as_such)
{
    const auto line = TranslateParams("WHERE A = :A--it's :B\r\nAND C = :C\r\n", false);
    EXPECT_EQ(line.text, "WHERE A = ?--it's :B\r\nAND C = ?\r\n");
    EXPECT_EQ(line.names, (std::vector<std::string>{"A", "C"}));
    const auto block = TranslateParams("WHERE A = :A/*:B*/ AND C = :C\r\n", false);
    EXPECT_EQ(block.text, "WHERE A = ?/*:B*/ AND C = ?\r\n");
    EXPECT_EQ(block.names, (std::vector<std::string>{"A", "C"}));
    const auto literal = TranslateParams("X = :A||'a:B' AND Y = :C'b:D'\r\n", false);
    EXPECT_EQ(literal.text, "X = ?||'a:B' AND Y = ?'b:D'\r\n");
    EXPECT_EQ(literal.names, (std::vector<std::string>{"A", "C"}));
    const auto quoted = TranslateParams("X = :\"a b\"'c:D'\r\n", false);
    EXPECT_EQ(quoted.text, "X = ?'c:D'\r\n");
    EXPECT_EQ(quoted.names, (std::vector<std::string>{"a b"}));
    const auto automatic = TranslateParams("X = ?/*:B*/ AND Y = ?'c:D'\r\n", true);
    EXPECT_EQ(automatic.text, "X = ?/*:B*/ AND Y = ?'c:D'\r\n");
    EXPECT_EQ(automatic.names, (std::vector<std::string>{"IBXParam0", "IBXParam1"}));
    EXPECT_EQ(ErrorOf("X = :A'open\r\n"), "SQL Parse Error:\r\n\r\nEOF in string detected")
        << "the literal after the name is a literal";
    EXPECT_EQ(ErrorOf("X = :A/* open\r\n"), "SQL Parse Error:\r\n\r\nEOF in comment detected");
}

TEST(TranslateParams, a_bare_question_mark_needs_auto_names)
{
    EXPECT_EQ(ErrorOf("WHERE ID = ?\r\n"), "SQL Parse Error:\r\n\r\nParameter name expected");
    const auto t = TranslateParams("WHERE ID = ? OR ID = ?\r\n", true);
    EXPECT_EQ(t.text, "WHERE ID = ? OR ID = ?\r\n");
    EXPECT_EQ(t.names, (std::vector<std::string>{"IBXParam0", "IBXParam1"}));
}

TEST(TranslateParams, text_ending_inside_a_literal_or_comment_is_refused)
{
    EXPECT_EQ(ErrorOf("WHERE A = 'abc\r\n"), "SQL Parse Error:\r\n\r\nEOF in string detected");
    EXPECT_EQ(ErrorOf("SELECT 1 /* open\r\n"), "SQL Parse Error:\r\n\r\nEOF in comment detected");
}

TEST(TranslateParams, a_name_at_the_very_end_reads_nothing_past_the_text)
{
    const auto t = TranslateParams("WHERE ID = :ID", false);
    EXPECT_EQ(t.text, "WHERE ID = ?");
    EXPECT_EQ(t.names, (std::vector<std::string>{"ID"}));
    const auto quoted = TranslateParams(":\"a\"", false);
    EXPECT_EQ(quoted.text, "?");
    EXPECT_EQ(quoted.names, (std::vector<std::string>{"a"}));
}

} // namespace
} // namespace velkor
