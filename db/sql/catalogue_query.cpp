#include "db/sql/catalogue_query.h"

#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/sql/ib_sql.h"
#include "framework/first_error.h"

namespace velkor {

void ReadCatalogue(TIBDatabase &database, const std::function<void(TIBSQL &query)> &read)
{
    TIBTransaction &internal = database.InternalTransaction();
    if (!internal.InTransaction())
        internal.StartTransaction();
    CleanUpAfter(
        "Catalogue query",
        [&] {
            TIBSQL query(nullptr);
            query.SetDatabase(&database);
            query.SetTransaction(&internal);
            read(query);
        },
        [&internal] {
            if (internal.InTransaction())
                internal.Commit();
        });
}

} // namespace velkor
