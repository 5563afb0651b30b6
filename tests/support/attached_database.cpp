#include "tests/support/attached_database.h"

#include "tests/support/server_database.h"

namespace velkor::test {

TAttachedDatabase::TAttachedDatabase(TTestDatabase::TContent content, TEngine engine)
    : file(content)
    , path(engine == TEngine::server ? TTestServer::Remote(file.Path()) : file.Path())
    , login(engine == TEngine::server ? TTestServer::UserName() : "SYSDBA",
            engine == TEngine::server ? TTestServer::Password() : "")
    , database(CreateOwned<TIBDatabase>(owner))
    , transaction(CreateOwned<TIBTransaction>(owner))
{
    WirePanelPair(database, transaction, path);
    database.SetConnected(true);
    transaction.StartTransaction();
}

} // namespace velkor::test
