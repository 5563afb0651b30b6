// The binding of the real client library and the errors built from its status vectors.
#include "db/client/client_library.h"
#include "db/client/ib_error.h"
#include "db/client/internal/client_api.h"
#include "db/client/server_error.h"
#include "db/client/status_vector.h"
#include "tests/support/test_database.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <thread>

namespace velkor {
namespace {

// The status vector's first clusters as a test lays them out, copied into the thread's vector.
void SetThreadStatus(std::initializer_list<ISC_STATUS> words)
{
    ISC_STATUS *status = ThreadStatusVector();
    std::memset(status, 0, sizeof(ISC_STATUS) * ISC_STATUS_LENGTH);
    std::size_t i = 0;
    for (ISC_STATUS word : words)
        status[i++] = word;
}

ISC_STATUS Text(const char *text)
{
    return reinterpret_cast<ISC_STATUS>(text);
}

EIBInterBaseError CaughtServerError()
{
    try {
        ReportServerError();
    } catch (const EIBInterBaseError &error) {
        return error;
    }
    ADD_FAILURE() << "ReportServerError returned";
    return EIBInterBaseError(0, "");
}

class OptionsGuard
{
public:
    OptionsGuard()
        : saved_(ErrorMessageOptions())
    {
    }
    ~OptionsGuard() { SetErrorMessageOptions(saved_); }

private:
    TErrorMessageOptions saved_;
};

TEST(ClientLibrary, distribution_library_loads_as_generation_six)
{
    ASSERT_TRUE(LoadClientLibrary());
    EXPECT_NO_THROW(RequireClientLibrary());
    EXPECT_EQ(ClientLibraryVersion(), 6);
    EXPECT_TRUE(LoadClientLibrary()); // a second load finds it loaded
}

TEST(ClientLibrary, status_vector_is_per_thread_and_kept)
{
    TStatusWord *mine = ThreadStatusVector();
    EXPECT_EQ(mine, ThreadStatusVector());
    TStatusWord *other = nullptr;
    bool zeroed = false;
    std::thread([&] {
        other = ThreadStatusVector();
        zeroed = std::all_of(other, other + kStatusVectorLength, [](auto w) { return w == 0; });
    }).join();
    EXPECT_NE(mine, other);
    EXPECT_TRUE(zeroed);
}

TEST(ServerErrors, failed_attach_to_a_missing_file_reports_the_library_lines)
{
    test::TTempFolder folder;
    const std::string path = folder.Path() + "/missing.fdb";
    isc_db_handle handle = 0;
    const ISC_STATUS result = ClientApi().isc_attach_database(
        ThreadStatusVector(), static_cast<short>(path.size()), path.c_str(), &handle, 0, nullptr);
    ASSERT_GT(result, 0);
    EXPECT_EQ(handle, 0u);
    const EIBInterBaseError error = CaughtServerError();

    EXPECT_EQ(error.ServerErrorCode(), isc_io_error);
    EXPECT_EQ(error.SQLCode(), -902);
    const std::string message = error.what();
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_NE(message.find("\r\n"), std::string::npos) << "one line per status cluster";
    EXPECT_EQ(message.find("SQLCODE"), std::string::npos);
    EXPECT_NE(message.back(), '.');
    EXPECT_NE(message.back(), '\n');
}

TEST(ServerErrors, lines_are_joined_by_cr_lf_unless_one_ends_in_lf)
{
    SetThreadStatus({isc_arg_gds, isc_random, isc_arg_string, Text("first"), isc_arg_gds,
                     isc_random, isc_arg_string, Text("second\n"), isc_arg_gds, isc_random,
                     isc_arg_string, Text("third"), isc_arg_end});
    const EIBInterBaseError error = CaughtServerError();
    EXPECT_STREQ(error.what(), "first\r\nsecond\nthird");
    EXPECT_EQ(error.ServerErrorCode(), isc_random);
}

TEST(ServerErrors, exactly_one_final_full_stop_is_removed)
{
    SetThreadStatus({isc_arg_gds, isc_random, isc_arg_string, Text("ends in one."), isc_arg_end});
    EXPECT_STREQ(CaughtServerError().what(), "ends in one");
    SetThreadStatus({isc_arg_gds, isc_random, isc_arg_string, Text("ends in two.."), isc_arg_end});
    EXPECT_STREQ(CaughtServerError().what(), "ends in two.");
}

TEST(ServerErrors, sql_code_prefix_only_when_asked_for)
{
    OptionsGuard restore;
    SetThreadStatus({isc_arg_gds, isc_random, isc_arg_string, Text("text"), isc_arg_end});
    const std::int32_t sqlCode = CaughtServerError().SQLCode();
    EXPECT_EQ(sqlCode, ClientApi().isc_sqlcode(ThreadStatusVector()));

    SetErrorMessageOptions({.includeSQLCode = true, .includeServerMessages = true});
    EXPECT_EQ(std::string(CaughtServerError().what()),
              "SQLCODE: " + std::to_string(sqlCode) + "\r\ntext");
    SetErrorMessageOptions({.includeSQLCode = true, .includeServerMessages = false});
    EXPECT_EQ(std::string(CaughtServerError().what()), "SQLCODE: " + std::to_string(sqlCode));
    SetErrorMessageOptions({.includeSQLCode = false, .includeServerMessages = false});
    EXPECT_STREQ(CaughtServerError().what(), "");
}

TEST(StatusVector, search_finds_codes_and_numbers_and_steps_over_strings)
{
    SetThreadStatus({isc_arg_gds, isc_io_error, isc_arg_string, Text("open"), isc_arg_cstring, 4,
                     Text("file"), isc_arg_number, 42, isc_arg_gds, isc_network_error,
                     isc_arg_end});
    EXPECT_TRUE(StatusVectorHasCode({isc_io_error}));
    EXPECT_TRUE(StatusVectorHasCode({1, 2, isc_network_error}));
    EXPECT_TRUE(StatusVectorHasCode({42}));
    EXPECT_FALSE(StatusVectorHasCode({4})) << "a cstring's length is not a code";
    EXPECT_FALSE(StatusVectorHasCode({isc_lost_db_connection}));
    EXPECT_FALSE(StatusVectorHasCode({}));
}

TEST(StatusVector, search_stays_inside_a_vector_without_an_end)
{
    ISC_STATUS *status = ThreadStatusVector();
    for (int i = 0; i < ISC_STATUS_LENGTH; ++i)
        status[i] = isc_arg_interpreted;
    EXPECT_FALSE(StatusVectorHasCode({isc_arg_interpreted + 1}));
    SetThreadStatus({});
}

void *ResolveFrom(void *handle, const char *name, const char *hidden)
{
    return std::strcmp(name, hidden) == 0 ? nullptr : dlsym(handle, name);
}

class Binding : public ::testing::Test
{
protected:
    void SetUp() override
    {
        handle_ = dlopen("libfbclient.so.2", RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr);
    }
    void TearDown() override { dlclose(handle_); }
    TSymbolResolver Hiding(const char *hidden)
    {
        return [this, hidden](const char *name) { return ResolveFrom(handle_, name, hidden); };
    }
    void *handle_ = nullptr;
};

TEST_F(Binding, library_without_rollback_retaining_is_generation_five_with_stand_bys)
{
    const TClientApi api = BindClientApi(Hiding("isc_rollback_retaining"));
    EXPECT_EQ(api.version, 5);
    ASSERT_NE(api.isc_rollback_retaining, nullptr);
    isc_tr_handle transaction = 0;
    try {
        api.isc_rollback_retaining(ThreadStatusVector(), &transaction);
        FAIL() << "the stand-by returned";
    } catch (const EIBClientError &error) {
        EXPECT_EQ(error.SQLCode(), ClientError::InterBase6Function);
        EXPECT_EQ(error.ServerErrorCode(), 0);
        EXPECT_STREQ(error.what(), "isc_rollback_retaining is an InterBase6 function. Please "
                                   "upgrade to InterBase6 to use this functonality");
    }
    ISC_TIMESTAMP stamp{};
    struct tm moment
    {
    };
    EXPECT_THROW(api.isc_encode_timestamp(&moment, &stamp), EIBClientError);
    // Group A is the real library's.
    EXPECT_EQ(reinterpret_cast<void *>(api.isc_sqlcode), dlsym(handle_, "isc_sqlcode"));
}

TEST_F(Binding, every_slot_is_bound_for_generation_six)
{
    const TClientApi api = BindClientApi(Hiding(""));
    EXPECT_EQ(api.version, 6);
    EXPECT_EQ(reinterpret_cast<void *>(api.isc_rollback_retaining),
              dlsym(handle_, "isc_rollback_retaining"));
    EXPECT_EQ(reinterpret_cast<void *>(api.isc_encode_timestamp),
              dlsym(handle_, "isc_encode_timestamp"));
}

TEST_F(Binding, a_missing_required_entry_point_raises_a_system_error_naming_it)
{
    for (const char *name : {"isc_attach_database", "isc_free", "isc_service_attach"}) {
        try {
            (void)BindClientApi(Hiding(name));
            ADD_FAILURE() << name << " was not required";
        } catch (const EOSError &error) {
            EXPECT_NE(std::string(error.what()).find(name), std::string::npos) << error.what();
        }
    }
}

} // namespace
} // namespace velkor
