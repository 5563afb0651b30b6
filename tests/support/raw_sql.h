#pragma once

#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"

#include <string>

namespace velkor::test {

// Statements run straight through the client library, for checking what the layer did.
void ExecuteRaw(TIBDatabase &database, TIBTransaction &transaction, const std::string &sql);
// The integer in the first column of the first row of a select.
long QueryInteger(TIBDatabase &database, TIBTransaction &transaction, const std::string &sql);

// Runs `sql` in a session of its own on the database at `path` and commits it, as another
// operator's program would; needs a login hook that answers (TScriptedLogin).
void ExecuteElsewhere(const std::string &path, const std::string &sql);
// Sets a connection and a transaction up as the panel does: lc_ctype WIN1251, each the other's
// default, the connection on `path`.
void WirePanelPair(TIBDatabase &database, TIBTransaction &transaction, const std::string &path);

// Installs a login that answers as an operator would, and records what the dialog was shown.
class TScriptedLogin
{
public:
    TScriptedLogin(std::string userName, std::string password, bool accept = true);
    ~TScriptedLogin();
    TScriptedLogin(const TScriptedLogin &) = delete;
    TScriptedLogin &operator=(const TScriptedLogin &) = delete;

    int calls = 0;
    std::string shownDatabase;
    std::string shownUserName;
    std::string shownPassword;
    std::string userName;
    std::string password;
    bool accept;
};

} // namespace velkor::test
