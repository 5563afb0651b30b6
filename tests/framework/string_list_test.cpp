#include "framework/exceptions.h"
#include "framework/string_list.h"

#include <gtest/gtest.h>

namespace velkor {
namespace {

TEST(StringList, name_value_lines)
{
    TStringList list{"lc_ctype=WIN1251", "user_name=SYSDBA", "plain", "a=b=c"};
    EXPECT_EQ(list.Names(0), "lc_ctype");
    EXPECT_EQ(list.ValueFromIndex(3), "b=c");
    EXPECT_EQ(list.Names(2), "plain");
    EXPECT_EQ(list.ValueFromIndex(2), "");
    EXPECT_EQ(list.IndexOfName("USER_NAME"), 1);
    EXPECT_EQ(list.IndexOfName("plain"), -1);
    list.SetValue("user_name", "OPERATOR");
    EXPECT_EQ(list[1], "user_name=OPERATOR");
    list.SetValue("role", "R");
    EXPECT_EQ(list.Count(), 5);
}

TEST(StringList, a_change_refused_before_it_happens_leaves_the_list_unchanged)
{
    TStringList list{"one"};
    int changes = 0;
    list.OnChanging = [](TObject *) { throw EDatabaseError("refused"); };
    list.OnChange = [&](TObject *) { ++changes; };
    EXPECT_THROW(list.Add("two"), EDatabaseError);
    EXPECT_THROW(list.Put(0, "uno"), EDatabaseError);
    EXPECT_THROW(list.Clear(), EDatabaseError);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0], "one");
    EXPECT_EQ(changes, 0);
    list.OnChanging = nullptr;
    list.Add("two");
    EXPECT_EQ(changes, 1);
}

TEST(StringList, changes_inside_an_update_are_announced_each_and_reported_once)
{
    TStringList list{"one"};
    std::vector<std::string> log;
    list.OnChanging = [&](TObject *) { log.push_back("changing " + list.Text()); };
    list.OnChange = [&](TObject *) { log.push_back("changed " + list.Text()); };
    list.BeginUpdate();
    list.Clear();
    list.Add("two");
    list.EndUpdate();
    EXPECT_EQ(log, (std::vector<std::string>{"changing one\n", "changing ", "changed two\n"}));

    log.clear();
    list.BeginUpdate();
    list.EndUpdate();
    EXPECT_TRUE(log.empty()) << "an update without a change reports nothing";

    list.OnChanging = [](TObject *) { throw EDatabaseError("refused"); };
    list.BeginUpdate();
    EXPECT_THROW(list.Add("three"), EDatabaseError);
    EXPECT_THROW(list.SetLines({"four"}), EDatabaseError);
    list.EndUpdate();
    EXPECT_EQ(list.Lines(), std::vector<std::string>{"two"}) << "nothing changed";
    EXPECT_TRUE(log.empty());
}

TEST(StringList, text_round_trip_and_bad_indexes)
{
    TStringList list;
    list.SetText("a\r\nb\nc");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Text(), "a\nb\nc\n");
    EXPECT_THROW(list.Delete(3), std::out_of_range);
    EXPECT_THROW(list.Insert(-1, "x"), std::out_of_range);
    EXPECT_EQ(list.Count(), 3);
}

} // namespace
} // namespace velkor
