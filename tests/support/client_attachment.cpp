#include "tests/support/client_attachment.h"

#include "db/client_library.h"
#include "db/internal/client_api.h"

#include <cstdint>
#include <vector>

namespace velkor::test {

namespace {

void Check(ISC_STATUS result)
{
    if (result > 0)
        ReportServerError();
}

// One entry of a transaction start request, as the client library reads it.
struct TStartEntry
{
    isc_db_handle *database;
    std::int32_t tpbLength;
    const char *tpb;
};

void AddItem(std::vector<char> &buffer, char tag, const std::string &value)
{
    buffer.push_back(tag);
    buffer.push_back(static_cast<char>(value.size()));
    buffer.insert(buffer.end(), value.begin(), value.end());
}

} // namespace

struct TClientAttachment::THandles
{
    isc_db_handle database = 0;
    isc_tr_handle transaction = 0;
};

TClientAttachment::TClientAttachment(const std::string &path, const std::string &userName,
                                     const std::string &password, const std::string &processName)
    : handles_(std::make_unique<THandles>())
{
    RequireClientLibrary();
    std::vector<char> dpb{isc_dpb_version1};
    AddItem(dpb, isc_dpb_user_name, userName);
    AddItem(dpb, isc_dpb_password, password);
    AddItem(dpb, isc_dpb_lc_ctype, "WIN1251");
    if (!processName.empty()) {
        // Taken as UTF-8 whatever the test's locale says.
        dpb.push_back(isc_dpb_utf8_filename);
        dpb.push_back(0);
        AddItem(dpb, isc_dpb_process_name, processName);
    }
    Check(ClientApi().isc_attach_database(ThreadStatusVector(), 0, path.c_str(),
                                          &handles_->database, static_cast<short>(dpb.size()),
                                          dpb.data()));
    try {
        id_ = QueryInteger("SELECT CURRENT_CONNECTION FROM RDB$DATABASE");
    } catch (...) {
        ClientApi().isc_detach_database(ThreadStatusVector(), &handles_->database);
        throw;
    }
}

TClientAttachment::~TClientAttachment()
{
    // Failures are expected here (the server may have ended the attachment) and change nothing.
    const TClientApi &api = ClientApi();
    if (handles_->transaction)
        api.isc_rollback_transaction(ThreadStatusVector(), &handles_->transaction);
    if (handles_->database)
        api.isc_detach_database(ThreadStatusVector(), &handles_->database);
}

bool TClientAttachment::InTransaction() const noexcept
{
    return handles_->transaction != 0;
}

void TClientAttachment::StartTransaction()
{
    TStartEntry entry{&handles_->database, 0, nullptr};
    if (ClientApi().isc_start_multiple(ThreadStatusVector(), &handles_->transaction, 1, &entry) >
        0) {
        handles_->transaction = 0;
        ReportServerError();
    }
}

void TClientAttachment::Commit()
{
    Check(ClientApi().isc_commit_transaction(ThreadStatusVector(), &handles_->transaction));
}

void TClientAttachment::Execute(const std::string &sql)
{
    const TClientApi &api = ClientApi();
    const bool own = !InTransaction();
    if (own)
        StartTransaction();
    if (api.isc_dsql_execute_immediate(ThreadStatusVector(), &handles_->database,
                                       &handles_->transaction, 0, sql.c_str(), 1, nullptr) > 0) {
        const std::exception_ptr error = CaptureServerError();
        if (own)
            api.isc_rollback_transaction(ThreadStatusVector(), &handles_->transaction);
        std::rethrow_exception(error);
    }
    if (own)
        Commit();
}

long TClientAttachment::QueryInteger(const std::string &sql)
{
    const TClientApi &api = ClientApi();
    const bool own = !InTransaction();
    if (own)
        StartTransaction();
    isc_stmt_handle statement = 0;
    std::vector<char> area(XSQLDA_LENGTH(1));
    auto *out = reinterpret_cast<XSQLDA *>(area.data());
    out->version = SQLDA_VERSION1;
    out->sqln = 1;
    ISC_INT64 value = 0;
    short isNull = 0;
    long result = -1;
    try {
        Check(api.isc_dsql_alloc_statement2(ThreadStatusVector(), &handles_->database, &statement));
        Check(api.isc_dsql_prepare(ThreadStatusVector(), &handles_->transaction, &statement, 0,
                                   sql.c_str(), 1, out));
        // Read as a 64-bit integer, whatever the column: attachment ids are BIGINT.
        out->sqlvar[0].sqltype = SQL_INT64 | 1;
        out->sqlvar[0].sqllen = sizeof value;
        out->sqlvar[0].sqlscale = 0;
        out->sqlvar[0].sqldata = reinterpret_cast<char *>(&value);
        out->sqlvar[0].sqlind = &isNull;
        Check(api.isc_dsql_execute(ThreadStatusVector(), &handles_->transaction, &statement, 1,
                                   nullptr));
        const ISC_STATUS fetched = api.isc_dsql_fetch(ThreadStatusVector(), &statement, 1, out);
        Check(fetched == 100 ? 0 : fetched);
        if (fetched == 0)
            result = isNull ? 0 : static_cast<long>(value);
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        if (statement)
            api.isc_dsql_free_statement(ThreadStatusVector(), &statement, DSQL_drop);
        if (own)
            api.isc_rollback_transaction(ThreadStatusVector(), &handles_->transaction);
        std::rethrow_exception(error);
    }
    api.isc_dsql_free_statement(ThreadStatusVector(), &statement, DSQL_drop);
    if (own)
        Commit();
    return result;
}

} // namespace velkor::test
