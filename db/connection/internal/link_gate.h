#pragma once
// Private to the database layer.

#include "db/connection/ib_base.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"

namespace velkor::gate {

// What a link may do to the connection and the transaction it ties together: register with
// them, and hand their live handles' addresses to the client calls. Nothing else reaches these.
class TLinkGate
{
    friend class velkor::TIBBase;

    static int Register(TIBDatabase &database, TIBBase *link)
    {
        return database.AddSQLObject(link);
    }
    static void Unregister(TIBDatabase &database, int index) { database.RemoveSQLObject(index); }
    static int Register(TIBTransaction &transaction, TIBBase *link)
    {
        return transaction.AddSQLObject(link);
    }
    static void Unregister(TIBTransaction &transaction, int index)
    {
        transaction.RemoveSQLObject(index);
    }
    [[nodiscard]] static TClientHandle *HandleAddress(TIBDatabase &database) noexcept
    {
        return database.HandleAddress();
    }
    [[nodiscard]] static TClientHandle *HandleAddress(TIBTransaction &transaction) noexcept
    {
        return transaction.HandleAddress();
    }
};

} // namespace velkor::gate
