#pragma once
// Private to the database layer: its .cpp files and its own tests include this, and with it
// ibase.h; nothing outside the layer may.

#include <ibase.h>

#include <functional>

namespace velkor {

// Entry points in the order they are bound. Group A must all be there.
#define VELKOR_CLIENT_GROUP_A(X)                                                                   \
    X(BLOB_get)                                                                                    \
    X(BLOB_put)                                                                                    \
    X(isc_sqlcode)                                                                                 \
    X(isc_sql_interprete)                                                                          \
    X(isc_interprete)                                                                              \
    X(isc_vax_integer)                                                                             \
    X(isc_blob_info)                                                                               \
    X(isc_open_blob2)                                                                              \
    X(isc_close_blob)                                                                              \
    X(isc_get_segment)                                                                             \
    X(isc_put_segment)                                                                             \
    X(isc_create_blob2)                                                                            \
    X(isc_decode_date)                                                                             \
    X(isc_encode_date)                                                                             \
    X(isc_dsql_free_statement)                                                                     \
    X(isc_dsql_execute2)                                                                           \
    X(isc_dsql_execute)                                                                            \
    X(isc_dsql_set_cursor_name)                                                                    \
    X(isc_dsql_fetch)                                                                              \
    X(isc_dsql_sql_info)                                                                           \
    X(isc_dsql_alloc_statement2)                                                                   \
    X(isc_dsql_prepare)                                                                            \
    X(isc_dsql_describe_bind)                                                                      \
    X(isc_dsql_describe)                                                                           \
    X(isc_dsql_execute_immediate)                                                                  \
    X(isc_drop_database)                                                                           \
    X(isc_detach_database)                                                                         \
    X(isc_attach_database)                                                                         \
    X(isc_database_info)                                                                           \
    X(isc_start_multiple)                                                                          \
    X(isc_commit_transaction)                                                                      \
    X(isc_commit_retaining)                                                                        \
    X(isc_rollback_transaction)                                                                    \
    X(isc_cancel_events)                                                                           \
    X(isc_que_events)                                                                              \
    X(isc_event_counts)                                                                            \
    X(isc_event_block)                                                                             \
    X(isc_free)

// The probe, then generation 6 only.
#define VELKOR_CLIENT_GROUP_B(X)                                                                   \
    X(isc_service_attach)                                                                          \
    X(isc_service_detach)                                                                          \
    X(isc_service_query)                                                                           \
    X(isc_service_start)                                                                           \
    X(isc_decode_sql_date)                                                                         \
    X(isc_decode_sql_time)                                                                         \
    X(isc_decode_timestamp)                                                                        \
    X(isc_encode_sql_date)                                                                         \
    X(isc_encode_sql_time)                                                                         \
    X(isc_encode_timestamp)

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
struct TClientApi
{
#define VELKOR_CLIENT_SLOT(name) decltype(&::name) name = nullptr;
    VELKOR_CLIENT_GROUP_A(VELKOR_CLIENT_SLOT)
    VELKOR_CLIENT_SLOT(isc_rollback_retaining)
    VELKOR_CLIENT_GROUP_B(VELKOR_CLIENT_SLOT)
#undef VELKOR_CLIENT_SLOT
    int version = 0;
};
#pragma GCC diagnostic pop

// Looks an entry point up by name; null when absent.
using TSymbolResolver = std::function<void *(const char *name)>;

// Binds every slot through `resolve`: a missing group-A or group-B entry raises EOSError; a
// missing probe makes a generation-5 table whose newer slots raise client error 3.
[[nodiscard]] TClientApi BindClientApi(const TSymbolResolver &resolve);

// The bound entry points of the loaded library; RequireClientLibrary first.
[[nodiscard]] const TClientApi &ClientApi();

} // namespace velkor
