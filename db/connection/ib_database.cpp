#include "db/connection/ib_database.h"

#include "db/client/byte_block.h"
#include "db/client/client_library.h"
#include "db/client/ib_error.h"
#include "db/client/internal/client_api.h"
#include "db/client/platform_hooks.h"
#include "db/client/server_error.h"
#include "db/client/status_vector.h"
#include "db/connection/ib_transaction.h"
#include "db/connection/parameter_buffers.h"
#include "framework/error_log.h"
#include "framework/text.h"

#include <cstring>
#include <exception>

namespace velkor {

static_assert(std::is_same_v<TClientHandle, isc_db_handle>);

namespace {

constexpr char kDialectItem = isc_info_db_sql_dialect; // 62
// The database name is UTF-8, as every path the panel holds. Said so, the library does not
// read it in the locale's character set, whatever that is.
constexpr char kUtf8FileName[] = {isc_dpb_utf8_filename, 0};

} // namespace

TIBDatabase::TIBDatabase(TComponent *owner)
    : TCustomConnection(owner)
    , idle_([this] { return handle_ != 0; },
            [this] {
                ForceClose();
                Fire(OnIdleTimer, this);
            })
{
    RequireClientLibrary();
    params_.OnChanging = [this](TObject *) { ParamsChanging(); };
    params_.OnChange = [this](TObject *) { paramsChanged_ = true; };
    internalTransaction_ = std::make_unique<TIBTransaction>(nullptr);
    internalTransaction_->SetDefaultDatabase(this);
}

TIBDatabase::~TIBDatabase()
{
    MarkDestroying();
    idle_.Stop();
    if (handle_)
        ForceClose();
    for (int i = 0; i < sqlObjects_.Count(); ++i)
        if (TIBBase *link = sqlObjects_.At(i)) {
            try {
                link->NotifyDatabaseFree();
            } catch (const std::exception &error) {
                // Destruction goes on; the link has let go of us by now.
                LogSwallowedError("Connection freed", error);
            }
        }
    for (int i = 0; i < sqlObjects_.Count(); ++i)
        RemoveSQLObject(i);
    for (int i = 0; i < transactions_.Count(); ++i)
        RemoveTransaction(i);
    internalTransaction_.reset();
    WipeBlock(dpb_);
    ClearHiddenPassword();
}

void TIBDatabase::SetDatabaseName(std::string name)
{
    if (name == databaseName_)
        return;
    RequireClosed();
    databaseName_ = std::move(name);
}

void TIBDatabase::SetDefaultTransaction(TIBTransaction *transaction)
{
    if (transaction == defaultTransaction_)
        return;
    if (defaultTransaction_) {
        TIBTransaction *old = defaultTransaction_;
        defaultTransaction_ = nullptr;
        RemoveTransaction(FindTransaction(old));
    }
    if (transaction) {
        transaction->AddDatabase(this);
        AddTransaction(transaction);
    }
    defaultTransaction_ = transaction;
}

void TIBDatabase::SetSQLDialect(int dialect)
{
    if (dialect < 1 || (handle_ && dialect > dbSqlDialect_))
        RaiseClientError(ClientError::SQLDialectInvalid);
    sqlDialect_ = dialect;
}

void TIBDatabase::RequireOpen() const
{
    if (!handle_)
        RaiseClientError(ClientError::DatabaseClosed);
}

void TIBDatabase::RequireClosed() const
{
    if (handle_)
        RaiseClientError(ClientError::DatabaseOpen);
}

void TIBDatabase::RequireDatabaseName() const
{
    if (databaseName_.empty())
        RaiseClientError(ClientError::DatabaseNameMissing);
}

TStatusWord TIBDatabase::CheckCall(TStatusWord result, bool raise)
{
    idle_.Disarm();
    if (raise && result > 0)
        ReportServerError();
    return result;
}

void TIBDatabase::DoConnect()
{
    Attach();
}

void TIBDatabase::DoDisconnect()
{
    if (handle_)
        Detach(false);
    dbSqlDialect_ = 1;
}

void TIBDatabase::Attach()
{
    RequireClosed();
    RequireDatabaseName();
    if (!loginPrompt_ && !hiddenPassword_.empty()) {
        ClearHiddenPassword();
        paramsChanged_ = true;
    }
    if (loginPrompt_ && !AskLogin())
        RaiseClientError(ClientError::OperationCancelled);

    if (paramsChanged_) {
        paramsChanged_ = false;
        std::vector<std::string> lines = params_.Lines();
        if (loginPrompt_ && !hiddenPassword_.empty())
            lines.push_back("password=" + hiddenPassword_);
        std::string built;
        try {
            built = BuildDpb(lines);
        } catch (...) {
            for (std::string &line : lines)
                WipeString(line);
            paramsChanged_ = true;
            throw;
        }
        for (std::string &line : lines)
            WipeString(line);
        WipeBlock(dpb_);
        ResizeZeroed(dpb_, 0, 0);
        ResizeZeroed(dpb_, 0, built.size() + sizeof kUtf8FileName);
        std::memcpy(dpb_.Data(), built.data(), built.size());
        std::memcpy(dpb_.Data() + built.size(), kUtf8FileName, sizeof kUtf8FileName);
        dpbLength_ = static_cast<short>(built.size() + sizeof kUtf8FileName);
        WipeString(built);
    }

    const TClientApi &api = ClientApi();
    TStatusWord result = 0;
    {
        // A server that is slow to answer holds the window until the library gives up.
        const TBusyCursor busy;
        result =
            api.isc_attach_database(ThreadStatusVector(), static_cast<short>(databaseName_.size()),
                                    databaseName_.c_str(), &handle_, dpbLength_, dpb_.Data());
    }
    // The buffer may carry the password: it does not outlive the call, and the next attach
    // builds it again.
    WipeBlock(dpb_);
    paramsChanged_ = true;
    if (result > 0) {
        handle_ = 0;
        ReportServerError();
    }
    ReadServerDialect();
    if (dbSqlDialect_ < sqlDialect_) {
        sqlDialect_ = dbSqlDialect_;
        Fire(OnDialectDowngradeWarning, this);
    }
}

void TIBDatabase::ReadServerDialect()
{
    const TClientApi &api = ClientApi();
    char items[] = {kDialectItem};
    char buffer[512] = {};
    CheckCall(
        api.isc_database_info(ThreadStatusVector(), &handle_, 1, items, sizeof buffer, buffer),
        true);
    if (buffer[0] != kDialectItem) {
        dbSqlDialect_ = 1;
        return;
    }
    const auto length = static_cast<short>(api.isc_vax_integer(buffer + 1, 2));
    // A length that does not fit the reply cannot be read.
    if (length < 0 || length > 4)
        dbSqlDialect_ = 1;
    else
        dbSqlDialect_ = static_cast<int>(api.isc_vax_integer(buffer + 3, length));
}

void TIBDatabase::Detach(bool force)
{
    RequireOpen();
    // A forced close is someone else's clean-up: it goes on past every error, and logs it.
    // So does a close whose server is gone: nothing of the session can be ended there any more,
    // and what is left must still be released so that Connect works again.
    auto guarded = [force](auto &&step) {
        try {
            step();
        } catch (const std::exception &error) {
            if (!force && !StatusVectorSaysConnectionLost())
                throw;
            LogSwallowedError(force ? "Forced close" : "Close of a lost connection", error);
        }
    };
    // A commit the server refuses is rolled back so that the connection can close, and then
    // reported: the work of the session is lost, and the operator must hear of it.
    std::exception_ptr refused;
    for (int i = 0; i < transactions_.Count(); ++i)
        if (TIBTransaction *transaction = transactions_.At(i))
            if (transaction->InTransaction())
                guarded([&] {
                    std::exception_ptr error =
                        transaction->FinishTransaction(transaction->DefaultAction(), true);
                    if (!refused)
                        refused = std::move(error);
                });
    for (int i = 0; i < sqlObjects_.Count(); ++i)
        if (TIBBase *link = sqlObjects_.At(i))
            guarded([&] { link->NotifyBeforeDatabaseDisconnect(); });

    std::exception_ptr lost;
    const TStatusWord result =
        CheckCall(ClientApi().isc_detach_database(ThreadStatusVector(), &handle_), false);
    if (result > 0 && !force) {
        if (!StatusVectorSaysConnectionLost()) {
            if (refused)
                std::rethrow_exception(refused);
            ReportServerError();
        }
        // The server end is gone: nothing more can be detached, so the connection counts as
        // closed and Connect works again. The error is still reported, once.
        lost = CaptureServerError();
        dbSqlDialect_ = 1;
    }
    handle_ = 0;
    for (int i = 0; i < sqlObjects_.Count(); ++i)
        if (TIBBase *link = sqlObjects_.At(i))
            guarded([&] { link->NotifyAfterDatabaseDisconnect(); });
    if (refused && force)
        LogSwallowedError("Commit refused at a forced close", refused);
    if (refused && !force) {
        dbSqlDialect_ = 1;
        std::rethrow_exception(refused);
    }
    if (lost)
        std::rethrow_exception(lost);
}

void TIBDatabase::ForceClose()
{
    if (handle_)
        Detach(true);
}

bool TIBDatabase::AskLogin()
{
    if (OnLogin) {
        TStringList copy;
        copy.Assign(params_);
        OnLogin(*this, copy);
        params_.Assign(copy);
        return true;
    }
    std::string userName;
    std::string password;
    const int userLine = FindParamLine("user_name");
    if (userLine >= 0)
        userName = params_.ValueFromIndex(userLine);
    const int passwordLine = FindParamLine("password");
    if (passwordLine >= 0)
        password = params_.ValueFromIndex(passwordLine);
    std::string oldPassword = password;

    const bool accepted = CallLoginHook(databaseName_, userName, password, false);
    if (accepted) {
        std::string line = "user_name=" + userName;
        if (userLine < 0)
            params_.Add(std::move(line));
        else
            params_.Put(userLine, std::move(line));
        if (password == oldPassword)
            ClearHiddenPassword();
        else
            hiddenPassword_ = password;
    }
    WipeString(password);
    WipeString(oldPassword);
    return accepted;
}

int TIBDatabase::FindParamLine(std::string_view name) const
{
    for (int i = 0; i < params_.Count(); ++i) {
        const std::string lowered = LowerCase(params_[i]);
        const auto at = lowered.find(name);
        if (at == 0 || at == 8) // "user_name=..." or "isc_dpb_user_name=..."
            return i;
    }
    return -1;
}

int TIBDatabase::AddSQLObject(TIBBase *link)
{
    const int index = sqlObjects_.Add(link);
    if (link->ResultSetConnectChange)
        RegisterClient(link->Owner(), link->ResultSetConnectChange);
    return index;
}

void TIBDatabase::RemoveSQLObject(int index)
{
    TIBBase *link = sqlObjects_.Take(index);
    if (!link)
        return;
    link->SetDatabase(nullptr);
    if (link->ResultSetConnectChange)
        UnregisterClient(link->Owner());
}

int TIBDatabase::AddTransaction(TIBTransaction *transaction)
{
    if (FindTransaction(transaction) >= 0)
        return -1;
    return transactions_.Add(transaction);
}

void TIBDatabase::RemoveTransaction(int index)
{
    if (TIBTransaction *transaction = transactions_.Unlink(index, defaultTransaction_))
        transaction->RemoveDatabase(transaction->FindDatabase(this));
}

int TIBDatabase::FindTransaction(const TIBTransaction *transaction) const noexcept
{
    return transactions_.IndexOf(transaction);
}

TIBTransaction *TIBDatabase::FindDefaultTransaction() const noexcept
{
    if (defaultTransaction_)
        return defaultTransaction_;
    for (TIBTransaction *transaction : transactions_)
        if (transaction && transaction->DefaultDatabase() == this &&
            transaction != internalTransaction_.get())
            return transaction;
    return nullptr;
}

void TIBDatabase::ParamsChanging()
{
    RequireClosed();
}

void TIBDatabase::ClearHiddenPassword() noexcept
{
    WipeString(hiddenPassword_);
}

} // namespace velkor
