#include "db/ib_base.h"

#include "db/ib_database.h"
#include "db/ib_error.h"
#include "db/ib_transaction.h"

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
        old->RemoveSQLObject(indexInDatabase_);
        indexInDatabase_ = -1;
    }
    database_ = database;
    if (database_) {
        indexInDatabase_ = database_->AddSQLObject(this);
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
        old->RemoveSQLObject(indexInTransaction_);
        indexInTransaction_ = -1;
    }
    transaction_ = transaction;
    if (transaction_) {
        indexInTransaction_ = transaction_->AddSQLObject(this);
        if (!database_)
            SetDatabase(transaction_->FindDefaultDatabase());
    }
}

TClientHandle *TIBBase::DatabaseHandle() const
{
    if (!database_)
        RaiseClientError(ClientError::DatabaseNotAssigned);
    database_->RequireOpen();
    return database_->HandleAddress();
}

TClientHandle *TIBBase::TransactionHandle() const
{
    if (!transaction_)
        RaiseClientError(ClientError::TransactionNotAssigned);
    transaction_->RequireInTransaction();
    return transaction_->HandleAddress();
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
