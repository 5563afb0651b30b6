#pragma once

#include "framework/custom_connection.h"

#include <cstdint>
#include <functional>

namespace velkor {

class TIBDatabase;
class TIBTransaction;

// A client library handle (database, transaction, statement): opaque, 0 when empty.
using TClientHandle = std::uint32_t;

// Ties one statement or result set to one connection and one transaction, and carries their
// notifications to it.
class TIBBase
{
public:
    using THandler = std::function<void(TIBBase &link)>;

    explicit TIBBase(TObject *owner) noexcept
        : owner_(owner)
    {
    }
    virtual ~TIBBase();
    TIBBase(const TIBBase &) = delete;
    TIBBase &operator=(const TIBBase &) = delete;

    [[nodiscard]] TObject *Owner() const noexcept { return owner_; }
    [[nodiscard]] TIBDatabase *Database() const noexcept { return database_; }
    [[nodiscard]] TIBTransaction *Transaction() const noexcept { return transaction_; }

    void SetDatabase(TIBDatabase *database);
    void SetTransaction(TIBTransaction *transaction);

    // Raise client error 24 / 25 when unassigned, then the connection's or transaction's check.
    [[nodiscard]] TClientHandle *DatabaseHandle() const;
    [[nodiscard]] TClientHandle *TransactionHandle() const;

    virtual void NotifyBeforeDatabaseDisconnect();
    virtual void NotifyAfterDatabaseDisconnect();
    virtual void NotifyDatabaseFree();
    virtual void NotifyBeforeTransactionEnd();
    virtual void NotifyAfterTransactionEnd();
    virtual void NotifyTransactionFree();

    THandler BeforeDbDisconnectHandler;
    THandler AfterDbDisconnectHandler;
    THandler DbFreeHandler;
    THandler BeforeTrEndHandler;
    THandler AfterTrEndHandler;
    THandler TrFreeHandler;

    // Set for a result set: its owner is then also a client of the connection.
    TCustomConnection::TConnectChange ResultSetConnectChange;

private:
    friend class TIBDatabase;
    friend class TIBTransaction;
    static void Call(const THandler &handler, TIBBase &link)
    {
        if (handler)
            handler(link);
    }

    TObject *owner_;
    TIBDatabase *database_ = nullptr;
    int indexInDatabase_ = -1;
    TIBTransaction *transaction_ = nullptr;
    int indexInTransaction_ = -1;
};

} // namespace velkor
