#include "db/connection/ib_transaction.h"

#include "db/client/byte_block.h"
#include "db/client/client_library.h"
#include "db/client/ib_error.h"
#include "db/client/internal/client_api.h"
#include "db/client/server_error.h"
#include "db/client/status_vector.h"
#include "db/connection/ib_database.h"
#include "db/connection/parameter_buffers.h"
#include "framework/error_log.h"

#include <cstring>
#include <exception>

namespace velkor {

namespace {

// One entry of the start request, as the client library reads it.
struct TTransactionExistenceBlock
{
    isc_db_handle *database;
    std::int32_t tpbLength;
    const char *tpb;
};

} // namespace

TIBTransaction::TIBTransaction(TComponent *owner)
    : TComponent(owner)
    , idle_([this] { return handle_ != 0; },
            [this] {
                LogSwallowedError("Idle transaction ended",
                                  FinishTransaction(defaultAction_, true));
                Fire(OnIdleTimer, this);
            })
{
    RequireClientLibrary();
    params_.OnChanging = [this](TObject *) { ParamsChanging(); };
    params_.OnChange = [this](TObject *) { paramsChangedTpb_ = true; };
}

TIBTransaction::~TIBTransaction()
{
    MarkDestroying();
    idle_.Stop();
    if (handle_) {
        // Destruction goes on whatever the server or a link's handler says; it is logged.
        try {
            LogSwallowedError("Transaction ended at destruction",
                              FinishTransaction(defaultAction_, true));
        } catch (const std::exception &error) {
            LogSwallowedError("Transaction ended at destruction", error);
        }
        handle_ = 0;
    }
    for (TIBBase *link : sqlObjects_)
        if (link) {
            try {
                link->NotifyTransactionFree();
            } catch (const std::exception &error) {
                LogSwallowedError("Transaction freed", error);
            }
        }
    sqlObjects_.Clear();
    for (int i = 0; i < databases_.Count(); ++i)
        RemoveDatabase(i);
}

void TIBTransaction::SetActive(bool value)
{
    if (Loading())
        return;
    if (value && !InTransaction())
        StartTransaction();
    else if (!value && InTransaction())
        Rollback();
}

void TIBTransaction::SetDefaultDatabase(TIBDatabase *database)
{
    if (database == defaultDatabase_)
        return;
    if (defaultDatabase_) {
        TIBDatabase *old = defaultDatabase_;
        defaultDatabase_ = nullptr;
        old->RemoveTransaction(old->FindTransaction(this));
    }
    if (database) {
        database->AddTransaction(this);
        AddDatabase(database);
    }
    defaultDatabase_ = database;
}

void TIBTransaction::SetDefaultAction(TTransactionAction action)
{
    if (action == TTransactionAction::TARollbackRetaining && ClientLibraryVersion() < 6)
        RaiseClientError(ClientError::InterBase6Function, {std::string("isc_rollback_retaining")});
    defaultAction_ = action;
}

void TIBTransaction::RequireInTransaction() const
{
    if (!handle_)
        RaiseClientError(ClientError::NotInTransaction);
}

void TIBTransaction::RequireNotInTransaction() const
{
    if (handle_)
        RaiseClientError(ClientError::InTransaction);
}

void TIBTransaction::RequireDatabases() const
{
    for (const TIBDatabase *database : databases_)
        if (database)
            return;
    RaiseClientError(ClientError::NoDatabasesInTransaction);
}

TStatusWord TIBTransaction::CheckCall(TStatusWord result, bool raise)
{
    for (TIBDatabase *database : databases_)
        if (database)
            database->idle_.Disarm();
    idle_.Disarm();
    if (raise && result > 0)
        ReportServerError();
    return result;
}

void TIBTransaction::StartTransaction()
{
    RequireNotInTransaction();
    RequireDatabases();
    for (TIBDatabase *database : databases_)
        if (database && !database->Connected())
            RaiseClientError(ClientError::DatabaseClosed);
    if (paramsChangedTpb_) {
        const std::string built = BuildTpb(params_.Lines());
        ResizeZeroed(tpb_, tpb_.Size(), built.size());
        if (!built.empty())
            std::memcpy(tpb_.Data(), built.data(), built.size());
        tpbLength_ = static_cast<short>(built.size());
        // Only now: a refused line must be refused again at the next start, not replaced by
        // the buffer of the lines before it.
        paramsChangedTpb_ = false;
    }
    std::vector<TTransactionExistenceBlock> request;
    for (TIBDatabase *database : databases_)
        if (database)
            request.push_back(
                {database->HandleAddress(), tpbLength_, tpbLength_ > 0 ? tpb_.Data() : nullptr});
    const TStatusWord result = CheckCall(
        ClientApi().isc_start_multiple(ThreadStatusVector(), &handle_,
                                       static_cast<short>(request.size()), request.data()),
        false);
    if (result > 0) {
        handle_ = 0;
        ReportServerError();
    }
}

void TIBTransaction::EndTransaction(TTransactionAction action, bool force)
{
    // A forced end is someone else's clean-up: the server's refusal is not theirs to report.
    (void)FinishTransaction(action, force);
}

std::exception_ptr TIBTransaction::FinishTransaction(TTransactionAction action, bool force)
{
    RequireInTransaction();
    const TClientApi &api = ClientApi();
    if (action == TTransactionAction::TARollbackRetaining) {
        CheckCall(api.isc_rollback_retaining(ThreadStatusVector(), &handle_), true);
        return nullptr;
    }
    if (action == TTransactionAction::TACommitRetaining) {
        CheckCall(api.isc_commit_retaining(ThreadStatusVector(), &handle_), true);
        return nullptr;
    }
    for (TIBBase *link : sqlObjects_)
        if (link) {
            try {
                link->NotifyBeforeTransactionEnd();
            } catch (const std::exception &error) {
                // A forced end on a connection whose server is gone cannot close the statements
                // there; it must still let go of the transaction so that Disconnect completes.
                if (!force || !StatusVectorSaysConnectionLost())
                    throw;
                LogSwallowedError("Transaction ended on a lost connection", error);
            }
        }
    TStatusWord result = 0;
    if (handle_) {
        result =
            action == TTransactionAction::TARollback
                ? CheckCall(api.isc_rollback_transaction(ThreadStatusVector(), &handle_), false)
                : CheckCall(api.isc_commit_transaction(ThreadStatusVector(), &handle_), false);
    }
    std::exception_ptr refused;
    if (result > 0) {
        if (!force)
            ReportServerError();
        // Taken before the rollback overwrites the status vector.
        refused = CaptureServerError();
        CheckCall(api.isc_rollback_transaction(ThreadStatusVector(), &handle_), false);
    }
    if (force)
        handle_ = 0;
    for (TIBBase *link : sqlObjects_)
        if (link)
            link->NotifyAfterTransactionEnd();
    return refused;
}

std::string TIBTransaction::TpbBytes() const
{
    return std::string(tpb_.Data() ? tpb_.Data() : "", static_cast<std::size_t>(tpbLength_));
}

int TIBTransaction::AddDatabase(TIBDatabase *database)
{
    const int existing = FindDatabase(database);
    if (existing >= 0)
        return existing;
    return databases_.Add(database);
}

void TIBTransaction::RemoveDatabase(int index)
{
    if (TIBDatabase *database = databases_.Unlink(index, defaultDatabase_))
        database->RemoveTransaction(database->FindTransaction(this));
}

int TIBTransaction::FindDatabase(const TIBDatabase *database) const noexcept
{
    return databases_.IndexOf(database);
}

TIBDatabase *TIBTransaction::FindDefaultDatabase() const noexcept
{
    if (defaultDatabase_)
        return defaultDatabase_;
    for (TIBDatabase *database : databases_)
        if (database && database->DefaultTransaction() == this)
            return database;
    return nullptr;
}

int TIBTransaction::AddSQLObject(TIBBase *link)
{
    return sqlObjects_.Add(link);
}

void TIBTransaction::RemoveSQLObject(int index)
{
    if (TIBBase *link = sqlObjects_.Take(index))
        link->SetTransaction(nullptr);
}

void TIBTransaction::ParamsChanging()
{
    RequireNotInTransaction();
}

} // namespace velkor
