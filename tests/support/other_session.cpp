#include "tests/support/other_session.h"

#include "tests/support/raw_sql.h"

namespace velkor::test {

TOtherSession::TOtherSession(const std::string &path, const std::string &userName,
                             const std::string &password)
    : database_(CreateOwned<TIBDatabase>(owner_))
    , transaction_(CreateOwned<TIBTransaction>(owner_))
{
    WirePanelPair(database_, transaction_, path);
    database_.SetLoginPrompt(false);
    database_.Params().Add("user_name=" + userName);
    if (!password.empty())
        database_.Params().Add("password=" + password);
    database_.SetConnected(true);
}

void TOtherSession::Execute(const std::string &sql)
{
    transaction_.StartTransaction();
    ExecuteRaw(database_, transaction_, sql);
    transaction_.Commit();
}

long TOtherSession::Query(const std::string &sql)
{
    transaction_.StartTransaction();
    const long value = QueryInteger(database_, transaction_, sql);
    transaction_.Commit();
    return value;
}

long TOtherSession::OtherAttachments()
{
    return Query("SELECT COUNT(*) FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> "
                 "CURRENT_CONNECTION AND MON$SYSTEM_FLAG = 0");
}

} // namespace velkor::test
