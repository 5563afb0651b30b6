#include "tests/support/raw_sql.h"

#include "tests/support/first_integer.h"

#include "db/client/internal/client_api.h"
#include "db/client/platform_hooks.h"
#include "db/client/server_error.h"
#include "db/client/status_vector.h"

#include <stdexcept>
#include <vector>

namespace velkor::test {

namespace {

// The live handles, reached as a statement reaches them: through a link.
struct TRawLink
{
    TRawLink(TIBDatabase &database, TIBTransaction &transaction)
        : link(nullptr)
    {
        link.SetDatabase(&database);
        link.SetTransaction(&transaction);
    }
    TIBBase link;
};

void Check(ISC_STATUS result, const char *what)
{
    if (result > 0) {
        try {
            ReportServerError();
        } catch (const std::exception &error) {
            throw std::runtime_error(std::string(what) + ": " + error.what());
        }
    }
}

} // namespace

void ExecuteRaw(TIBDatabase &database, TIBTransaction &transaction, const std::string &sql)
{
    TRawLink raw(database, transaction);
    Check(ClientApi().isc_dsql_execute_immediate(ThreadStatusVector(), raw.link.DatabaseHandle(),
                                                 raw.link.TransactionHandle(), 0, sql.c_str(), 1,
                                                 nullptr),
          "execute");
}

long QueryInteger(TIBDatabase &database, TIBTransaction &transaction, const std::string &sql)
{
    TRawLink raw(database, transaction);
    try {
        return QueryFirstInteger(raw.link.DatabaseHandle(), raw.link.TransactionHandle(), sql);
    } catch (const std::exception &error) {
        throw std::runtime_error(std::string("query: ") + error.what());
    }
}

void WirePanelPair(TIBDatabase &database, TIBTransaction &transaction, const std::string &path)
{
    database.Params().Add("lc_ctype=WIN1251");
    database.SetDatabaseName(path);
    transaction.SetDefaultDatabase(&database);
    database.SetDefaultTransaction(&transaction);
}

void ExecuteElsewhere(const std::string &path, const std::string &sql)
{
    TComponent owner{nullptr};
    auto &database = CreateOwned<TIBDatabase>(owner);
    auto &transaction = CreateOwned<TIBTransaction>(owner);
    WirePanelPair(database, transaction, path);
    database.SetConnected(true);
    transaction.StartTransaction();
    ExecuteRaw(database, transaction, sql);
    transaction.Commit();
}

TScriptedLogin::TScriptedLogin(std::string user, std::string secret, bool accepted)
    : userName(std::move(user))
    , password(std::move(secret))
    , accept(accepted)
{
    SetLoginHook([this](const std::string &database, std::string &name, std::string &pass, bool) {
        ++calls;
        shownDatabase = database;
        shownUserName = name;
        shownPassword = pass;
        if (!accept)
            return false;
        name = userName;
        pass = password;
        return true;
    });
}

TScriptedLogin::~TScriptedLogin()
{
    SetLoginHook({});
}

} // namespace velkor::test
