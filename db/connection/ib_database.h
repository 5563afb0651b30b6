#pragma once

#include "db/client/byte_block.h"
#include "db/client/status_vector.h"
#include "db/connection/ib_base.h"
#include "db/connection/idle_timer.h"
#include "db/connection/link_list.h"
#include "framework/custom_connection.h"
#include "framework/string_list.h"

#include <functional>
#include <memory>
#include <string>

namespace velkor {

namespace gate {
class TLinkGate;
}
class TIBTransaction;

// One attachment to one database, with its login, parameter buffer and the transactions and
// statements that use it, which it ends in a fixed order when it closes.
class TIBDatabase : public TCustomConnection
{
public:
    using TLoginEvent = std::function<void(TIBDatabase &database, TStringList &loginParams)>;

    explicit TIBDatabase(TComponent *owner);
    ~TIBDatabase() override;

    [[nodiscard]] const std::string &DatabaseName() const noexcept { return databaseName_; }
    void SetDatabaseName(std::string name);
    [[nodiscard]] TStringList &Params() noexcept { return params_; }
    [[nodiscard]] const TStringList &Params() const noexcept { return params_; }
    void SetParams(const TStringList &params) { params_.Assign(params); }
    [[nodiscard]] bool LoginPrompt() const noexcept { return loginPrompt_; }
    void SetLoginPrompt(bool value) noexcept { loginPrompt_ = value; }
    [[nodiscard]] TIBTransaction *DefaultTransaction() const noexcept
    {
        return defaultTransaction_;
    }
    void SetDefaultTransaction(TIBTransaction *transaction);
    [[nodiscard]] int IdleTimer() const noexcept { return idle_.Interval(); }
    void SetIdleTimer(int milliseconds) { idle_.SetInterval(milliseconds); }
    [[nodiscard]] int SQLDialect() const noexcept { return sqlDialect_; }
    void SetSQLDialect(int dialect);
    [[nodiscard]] int DBSQLDialect() const noexcept { return dbSqlDialect_; }
    // Nothing is traced in this program; the set is kept for the property's sake.
    [[nodiscard]] int TraceFlags() const noexcept { return traceFlags_; }
    void SetTraceFlags(int flags) noexcept { traceFlags_ = flags; }

    TLoginEvent OnLogin;
    TNotifyEvent OnIdleTimer;
    TNotifyEvent OnDialectDowngradeWarning;

    [[nodiscard]] TClientHandle Handle() const noexcept { return handle_; }

    void RequireOpen() const;
    void RequireClosed() const;
    void RequireDatabaseName() const;

    void Attach();
    void Detach(bool force);
    // Closes without the Connected protocol: no events, clients not told.
    void ForceClose();
    bool AskLogin();
    [[nodiscard]] int FindParamLine(std::string_view name) const;
    // What the idle timer does at each tick.
    void IdleTimerTimer() { idle_.Tick(); }

    [[nodiscard]] int FindTransaction(const TIBTransaction *transaction) const noexcept;
    [[nodiscard]] TIBTransaction *FindDefaultTransaction() const noexcept;
    [[nodiscard]] TIBTransaction &InternalTransaction() noexcept { return *internalTransaction_; }

    [[nodiscard]] int SQLObjectCount() const noexcept { return sqlObjects_.Count(); }
    [[nodiscard]] TIBBase *SQLObjects(int index) const { return sqlObjects_.At(index); }
    [[nodiscard]] int TransactionCount() const noexcept { return transactions_.Count(); }
    [[nodiscard]] TIBTransaction *Transactions(int index) const { return transactions_.At(index); }

protected:
    [[nodiscard]] bool GetConnected() const override { return handle_ != 0; }
    void DoConnect() override;
    void DoDisconnect() override;

private:
    friend class TIBTransaction;
    friend class gate::TLinkGate;

    [[nodiscard]] TClientHandle *HandleAddress() noexcept { return &handle_; }
    TStatusWord CheckCall(TStatusWord result, bool raise);
    int AddSQLObject(TIBBase *link);
    void RemoveSQLObject(int index);
    int AddTransaction(TIBTransaction *transaction);
    void RemoveTransaction(int index);
    void ReadServerDialect();
    void ParamsChanging();
    void ClearHiddenPassword() noexcept;

    std::string databaseName_;
    TStringList params_;
    bool loginPrompt_ = true;
    TIBTransaction *defaultTransaction_ = nullptr;
    int sqlDialect_ = 1;
    int dbSqlDialect_ = 1;
    int traceFlags_ = 0;

    TClientHandle handle_ = 0;
    TByteBlock dpb_;
    short dpbLength_ = 0;
    bool paramsChanged_ = true;
    std::string hiddenPassword_;
    TLinkList<TIBBase> sqlObjects_;
    TLinkList<TIBTransaction> transactions_;
    std::unique_ptr<TIBTransaction> internalTransaction_;
    TIdleTimer idle_;
};

} // namespace velkor
