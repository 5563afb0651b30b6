#pragma once

#include "tests/support/raw_sql.h"

#include <string>

namespace velkor::bench {

// Adds processes 1 to `rows` in the open transaction: even ones named `evenName` and their
// number, odd ones "process" and theirs (names in the connection's character set).
inline void FillProcesses(TIBDatabase &database, TIBTransaction &transaction, int rows,
                          const std::string &evenName = "process ")
{
    test::ExecuteRaw(
        database, transaction,
        "EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= " + std::to_string(rows) +
            ") DO BEGIN INSERT INTO VELKOR_PROCESS (PROC_ID, PROC_NAME, "
            "PROC_PRIORITY) VALUES (:I, IIF(MOD(:I, 2) = 0, '" +
            evenName + "' || :I, 'process ' || :I), MOD(:I, 10)); I = I + 1; END END");
}

} // namespace velkor::bench
