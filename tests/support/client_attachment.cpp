#include "tests/support/client_attachment.h"

#include "db/client/client_library.h"
#include "db/client/internal/client_api.h"
#include "db/client/server_error.h"
#include "db/client/status_vector.h"
#include "tests/support/first_integer.h"

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
    const bool own = !InTransaction();
    if (own)
        StartTransaction();
    long result = -1;
    try {
        result = QueryFirstInteger(&handles_->database, &handles_->transaction, sql);
    } catch (...) {
        if (own)
            ClientApi().isc_rollback_transaction(ThreadStatusVector(), &handles_->transaction);
        throw;
    }
    if (own)
        Commit();
    return result;
}

} // namespace velkor::test
