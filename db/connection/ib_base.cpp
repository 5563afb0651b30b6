#include "db/connection/ib_base.h"

#include "db/client/ib_error.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/connection/internal/link_gate.h"

namespace velkor {

TIBBase::~TIBBase()
{
    SetDatabase(nullptr);
    SetTransaction(nullptr);
}

void TIBBase::SetDatabase(TIBDatabase *database)
{
    if (database == database_)
        return;
    if (database_) {
        TIBDatabase *old = database_;
        database_ = nullptr; // the removal calls back here
        gate::TLinkGate::Unregister(*old, indexInDatabase_);
        indexInDatabase_ = -1;
    }
    database_ = database;
    if (database_) {
        indexInDatabase_ = gate::TLinkGate::Register(*database_, this);
        if (!transaction_)
            SetTransaction(database_->FindDefaultTransaction());
    }
}

void TIBBase::SetTransaction(TIBTransaction *transaction)
{
    if (transaction == transaction_)
        return;
    if (transaction_) {
        TIBTransaction *old = transaction_;
        transaction_ = nullptr;
        gate::TLinkGate::Unregister(*old, indexInTransaction_);
        indexInTransaction_ = -1;
    }
    transaction_ = transaction;
    if (transaction_) {
        indexInTransaction_ = gate::TLinkGate::Register(*transaction_, this);
        if (!database_)
            SetDatabase(transaction_->FindDefaultDatabase());
    }
}

TClientHandle *TIBBase::DatabaseHandle() const
{
    if (!database_)
        RaiseClientError(ClientError::DatabaseNotAssigned);
    database_->RequireOpen();
    return gate::TLinkGate::HandleAddress(*database_);
}

TClientHandle *TIBBase::TransactionHandle() const
{
    if (!transaction_)
        RaiseClientError(ClientError::TransactionNotAssigned);
    transaction_->RequireInTransaction();
    return gate::TLinkGate::HandleAddress(*transaction_);
}

void TIBBase::NotifyBeforeDatabaseDisconnect()
{
    Call(BeforeDbDisconnectHandler, *this);
}

void TIBBase::NotifyAfterDatabaseDisconnect()
{
    Call(AfterDbDisconnectHandler, *this);
}

void TIBBase::NotifyDatabaseFree()
{
    Call(DbFreeHandler, *this);
    SetDatabase(nullptr);
    SetTransaction(nullptr);
}

void TIBBase::NotifyBeforeTransactionEnd()
{
    Call(BeforeTrEndHandler, *this);
}

void TIBBase::NotifyAfterTransactionEnd()
{
    Call(AfterTrEndHandler, *this);
}

void TIBBase::NotifyTransactionFree()
{
    Call(TrFreeHandler, *this);
    // The transaction is going away and clears its own list.
    transaction_ = nullptr;
    indexInTransaction_ = -1;
}

} // namespace velkor
