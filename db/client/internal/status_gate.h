#pragma once
// Private to the database layer.

#include "db/client/status_vector.h"
#include "db/connection/ib_transaction.h"
#include "db/sql/ib_sql.h"

namespace velkor {
class TBlobTransfer;
} // namespace velkor

namespace velkor::gate {

// Every client call's status goes through the check of the transaction it runs in (which also
// keeps the idle timers from firing); a statement's calls go through the statement's, which
// passes them on. Only the statement and the blob transfers reach these.
class TStatusGate
{
    friend class velkor::TIBSQL;
    friend class velkor::TBlobTransfer;

    static TStatusWord Check(TIBTransaction &transaction, TStatusWord result, bool raise)
    {
        return transaction.CheckCall(result, raise);
    }
    static TStatusWord Check(TIBSQL &statement, TStatusWord result, bool raise)
    {
        return statement.CheckCall(result, raise);
    }
};

} // namespace velkor::gate
