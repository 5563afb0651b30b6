#pragma once

#include "db/client/byte_block.h"
#include "db/client/status_vector.h"
#include "db/connection/ib_base.h"
#include "db/connection/idle_timer.h"
#include "db/connection/link_list.h"
#include "framework/component.h"
#include "framework/string_list.h"

#include <exception>
#include <string>

namespace velkor {

namespace gate {
class TLinkGate;
class TStatusGate;
} // namespace gate
class TIBDatabase;

enum class TTransactionAction {
    TARollback = 0,
    TACommit = 1,
    TARollbackRetaining = 2,
    TACommitRetaining = 3
};

// One server transaction across the connections listed in it.
class TIBTransaction : public TComponent
{
public:
    explicit TIBTransaction(TComponent *owner);
    ~TIBTransaction() override;

    [[nodiscard]] bool Active() const noexcept { return handle_ != 0; }
    void SetActive(bool value);
    [[nodiscard]] bool InTransaction() const noexcept { return handle_ != 0; }
    [[nodiscard]] TIBDatabase *DefaultDatabase() const noexcept { return defaultDatabase_; }
    void SetDefaultDatabase(TIBDatabase *database);
    [[nodiscard]] int IdleTimer() const noexcept { return idle_.Interval(); }
    void SetIdleTimer(int milliseconds) { idle_.SetInterval(milliseconds); }
    [[nodiscard]] TTransactionAction DefaultAction() const noexcept { return defaultAction_; }
    void SetDefaultAction(TTransactionAction action);
    [[nodiscard]] TStringList &Params() noexcept { return params_; }

    TNotifyEvent OnIdleTimer;

    void StartTransaction();
    void EndTransaction(TTransactionAction action, bool force);
    void Commit() { EndTransaction(TTransactionAction::TACommit, false); }
    void Rollback() { EndTransaction(TTransactionAction::TARollback, false); }

    void RequireInTransaction() const;
    void RequireNotInTransaction() const;
    void RequireDatabases() const;
    // What the idle timer does at each tick.
    void IdleTimerTimer() { idle_.Tick(); }

    [[nodiscard]] TClientHandle Handle() const noexcept { return handle_; }
    // The parameter buffer the last start sent (empty for no Params).
    [[nodiscard]] std::string TpbBytes() const;

    [[nodiscard]] int FindDatabase(const TIBDatabase *database) const noexcept;
    [[nodiscard]] TIBDatabase *FindDefaultDatabase() const noexcept;

    [[nodiscard]] int DatabaseCount() const noexcept { return databases_.Count(); }
    [[nodiscard]] TIBDatabase *Databases(int index) const { return databases_.At(index); }
    [[nodiscard]] int SQLObjectCount() const noexcept { return sqlObjects_.Count(); }
    [[nodiscard]] TIBBase *SQLObjects(int index) const { return sqlObjects_.At(index); }

private:
    friend class TIBDatabase;
    friend class gate::TLinkGate;
    friend class gate::TStatusGate;

    [[nodiscard]] TClientHandle *HandleAddress() noexcept { return &handle_; }
    TStatusWord CheckCall(TStatusWord result, bool raise);
    int AddDatabase(TIBDatabase *database);
    void RemoveDatabase(int index);
    int AddSQLObject(TIBBase *link);
    void RemoveSQLObject(int index);
    // Ends as EndTransaction does; a forced end that the server refused is rolled back and the
    // refusal returned, for a caller that reports it once its own clean-up is done.
    [[nodiscard]] std::exception_ptr FinishTransaction(TTransactionAction action, bool force);
    void ParamsChanging();

    TIBDatabase *defaultDatabase_ = nullptr;
    TTransactionAction defaultAction_ = TTransactionAction::TACommit;
    TStringList params_;

    TClientHandle handle_ = 0;
    TByteBlock tpb_;
    short tpbLength_ = 0;
    bool paramsChangedTpb_ = true;
    TLinkList<TIBDatabase> databases_;
    TLinkList<TIBBase> sqlObjects_;
    TIdleTimer idle_;
};

} // namespace velkor
