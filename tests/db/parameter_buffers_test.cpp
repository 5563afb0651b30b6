// The database and transaction parameter buffers, byte for byte.
#include "db/client/ib_error.h"
#include "db/connection/parameter_buffers.h"
#include "framework/exceptions.h"

#include <gtest/gtest.h>

namespace velkor {
namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int v : values)
        bytes += static_cast<char>(v);
    return bytes;
}

int ClientCode(const std::function<void()> &build, std::string &message)
{
    try {
        build();
    } catch (const EIBClientError &error) {
        message = error.what();
        return error.SQLCode();
    }
    return -1;
}

TEST(Dpb, the_panel_buffer_for_a_six_letter_user_without_password_is_18_bytes)
{
    const std::string dpb = BuildDpb({"lc_ctype=WIN1251", "user_name=SYSDBA"});
    EXPECT_EQ(dpb, Bytes({1, 48, 7}) + "WIN1251" + Bytes({28, 6}) + "SYSDBA");
    EXPECT_EQ(dpb.size(), 18u);
    EXPECT_EQ(BuildDpb({"lc_ctype=WIN1251", "user_name=SYSDBA", "password=masterkey"}),
              dpb + Bytes({29, 9}) + "masterkey");
}

TEST(Dpb, names_are_lower_cased_and_may_carry_the_isc_dpb_prefix)
{
    const std::string expected = Bytes({1, 48, 7}) + "WIN1251";
    EXPECT_EQ(BuildDpb({"isc_dpb_lc_ctype=WIN1251"}), expected);
    EXPECT_EQ(BuildDpb({"LC_CTYPE=WIN1251"}), expected);
    EXPECT_EQ(BuildDpb({"lc_ctype=WIN1251", "no equals sign", "  =x", ""}), expected);
    // The value is taken untrimmed.
    EXPECT_EQ(BuildDpb({"user_name= A"}), Bytes({1, 28, 2}) + " A");
}

TEST(Dpb, numbers_and_flags)
{
    EXPECT_EQ(BuildDpb({"sweep_interval=20000"}), Bytes({1, 22, 4, 32, 78, 0, 0}));
    EXPECT_EQ(BuildDpb({"num_buffers=300"}), Bytes({1, 5, 1, 300 & 0xFF}));
    EXPECT_EQ(BuildDpb({"sweep=anything"}), Bytes({1, 10, 1, 2}));
    EXPECT_EQ(BuildDpb({"activate_shadow=", "quit_log=1"}), Bytes({1, 21, 1, 0, 26, 1, 0}));
    EXPECT_THROW((void)BuildDpb({"num_buffers=many"}), EConvertError);
    EXPECT_THROW((void)BuildDpb({"sweep_interval="}), EConvertError);
}

TEST(Dpb, unsupported_and_unknown_names_are_refused_with_their_texts)
{
    std::string message;
    EXPECT_EQ(ClientCode([] { (void)BuildDpb({"page_size=4096"}); }, message), 11);
    EXPECT_EQ(message, "DPB Constant (isc_dpb_page_size) is unsupported");
    EXPECT_EQ(ClientCode([] { (void)BuildDpb({"colour=blue"}); }, message), 12);
    EXPECT_EQ(message, "DPB Constant (0) is unknown");
    // Two table names hold capitals and so never match a lower-cased name.
    EXPECT_EQ(ClientCode([] { (void)BuildDpb({"SQL_dialect=3"}); }, message), 12);
}

TEST(Dpb, a_value_longer_than_its_length_byte_is_refused_not_truncated)
{
    EXPECT_THROW((void)BuildDpb({"user_name=" + std::string(256, 'u')}), EIBClientError);
    EXPECT_EQ(BuildDpb({"user_name=" + std::string(255, 'u')}).size(), 1u + 2u + 255u);
}

TEST(Tpb, empty_params_give_an_empty_buffer)
{
    EXPECT_EQ(BuildTpb({}), "");
}

TEST(Tpb, flags_and_table_locks)
{
    EXPECT_EQ(BuildTpb({"read_committed", "rec_version", "nowait"}), Bytes({3, 15, 17, 7}));
    EXPECT_EQ(BuildTpb({"isc_tpb_concurrency", "WAIT", "", "   "}), Bytes({3, 2, 6}));
    EXPECT_EQ(BuildTpb({"lock_write=SL_PROC_STATE"}), Bytes({3, 11, 13}) + "SL_PROC_STATE");
}

TEST(Tpb, unsupported_and_unknown_names_are_refused_with_their_texts)
{
    std::string message;
    EXPECT_EQ(ClientCode([] { (void)BuildTpb({"protected"}); }, message), 13);
    EXPECT_EQ(message, "TPB Constant (isc_tpb_protected) is unsupported");
    EXPECT_EQ(ClientCode([] { (void)BuildTpb({" read"}); }, message), 14);
    EXPECT_EQ(message, "TPB Constant (0) is unknown");
}

} // namespace
} // namespace velkor
