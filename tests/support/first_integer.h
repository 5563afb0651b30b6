#pragma once

#include <ibase.h>

#include <string>

namespace velkor::test {

// The integer in the first column of the first row of `sql`, run on the given live handles: read
// as a 64-bit integer whatever the column, 0 for null, -1 for no row. A failure is raised as the
// database layer raises it (EIBInterBaseError with the server's message and code).
long QueryFirstInteger(isc_db_handle *database, isc_tr_handle *transaction, const std::string &sql);

} // namespace velkor::test
