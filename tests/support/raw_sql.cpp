#include "tests/support/raw_sql.h"

#include "db/internal/client_api.h"
#include "db/platform_hooks.h"

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
    const TClientApi &api = ClientApi();
    TRawLink raw(database, transaction);
    isc_stmt_handle statement = 0;
    Check(
        api.isc_dsql_alloc_statement2(ThreadStatusVector(), raw.link.DatabaseHandle(), &statement),
        "allocate");
    std::vector<char> area(XSQLDA_LENGTH(1));
    auto *out = reinterpret_cast<XSQLDA *>(area.data());
    out->version = SQLDA_VERSION1;
    out->sqln = 1;
    ISC_LONG value = 0;
    short isNull = 0;
    long result = -1;
    try {
        Check(api.isc_dsql_prepare(ThreadStatusVector(), raw.link.TransactionHandle(), &statement,
                                   0, sql.c_str(), 1, out),
              "prepare");
        out->sqlvar[0].sqltype = SQL_LONG | 1;
        out->sqlvar[0].sqlscale = 0;
        // The described length may be a BIGINT's; the value here is 32 bits.
        out->sqlvar[0].sqllen = sizeof value;
        out->sqlvar[0].sqldata = reinterpret_cast<char *>(&value);
        out->sqlvar[0].sqlind = &isNull;
        Check(api.isc_dsql_execute(ThreadStatusVector(), raw.link.TransactionHandle(), &statement,
                                   1, nullptr),
              "execute");
        if (api.isc_dsql_fetch(ThreadStatusVector(), &statement, 1, out) == 0)
            result = isNull ? 0 : value;
    } catch (...) {
        api.isc_dsql_free_statement(ThreadStatusVector(), &statement, DSQL_drop);
        throw;
    }
    api.isc_dsql_free_statement(ThreadStatusVector(), &statement, DSQL_drop);
    return result;
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
