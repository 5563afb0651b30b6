#pragma once

// Reading the server's catalogue on the connection's own internal transaction.

#include <functional>

namespace velkor {

class TIBDatabase;
class TIBSQL;

// Runs `read` with a statement on the internal transaction of `database`, started when it is not
// running and committed afterwards. The read's own error wins over the commit's, which is logged.
void ReadCatalogue(TIBDatabase &database, const std::function<void(TIBSQL &query)> &read);

} // namespace velkor
