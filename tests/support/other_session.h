#pragma once

#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"

#include <string>

namespace velkor::test {

// Another operator's program on the same database: its own attachment, logged in without a
// dialog, a fresh transaction for each statement, so it sees and makes committed changes only.
class TOtherSession
{
public:
    TOtherSession(const std::string &path, const std::string &userName,
                  const std::string &password);

    void Execute(const std::string &sql);
    // The integer in the first column of the first row.
    long Query(const std::string &sql);
    // Attachments to the database other than this one's.
    long OtherAttachments();

private:
    TComponent owner_{nullptr};
    TIBDatabase &database_;
    TIBTransaction &transaction_;
};

} // namespace velkor::test
