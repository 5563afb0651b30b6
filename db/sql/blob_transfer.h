#pragma once

// Blob values moved segment by segment through the client's blob calls.

#include <iosfwd>

namespace velkor {

class TIBSQL;
struct TQuad;

// Reads and writes blobs on a statement's connection and transaction; the statement reports
// every failed call.
class TBlobTransfer
{
public:
    // Appends the blob `id` to `stream`.
    static void Read(TIBSQL &statement, const TQuad &id, std::ostream &stream);
    // Writes `stream`, from its start, into a new blob and returns that blob's identifier.
    [[nodiscard]] static TQuad Write(TIBSQL &statement, std::istream &stream);
};

} // namespace velkor
