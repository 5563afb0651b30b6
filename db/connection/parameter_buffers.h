#pragma once

#include <string>
#include <vector>

namespace velkor {

// The database parameter buffer for the lines of a connection's Params (name=value).
// Raises client errors 11 and 12 for names the layer does not send, EConvertError for a number
// that is not one. The result holds as many bytes as the client is given; it may carry a password,
// so callers wipe it.
[[nodiscard]] std::string BuildDpb(const std::vector<std::string> &lines);

// The transaction parameter buffer for the lines of a transaction's Params; empty for no lines.
// Raises client errors 13 and 14.
[[nodiscard]] std::string BuildTpb(const std::vector<std::string> &lines);

} // namespace velkor
