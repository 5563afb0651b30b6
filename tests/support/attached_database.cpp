#include "tests/support/attached_database.h"

namespace velkor::test {

TAttachedDatabase::TAttachedDatabase(TTestDatabase::TContent content)
    : file(content)
    , database(CreateOwned<TIBDatabase>(owner))
    , transaction(CreateOwned<TIBTransaction>(owner))
{
    WirePanelPair(database, transaction, file.Path());
    database.SetConnected(true);
    transaction.StartTransaction();
}

} // namespace velkor::test
