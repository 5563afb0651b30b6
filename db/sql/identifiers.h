#pragma once

#include <string>
#include <string_view>

namespace velkor {

// Names as the server compares them: dialect 1 trims and upper-cases, later dialects quote or
// keep them as written.
[[nodiscard]] std::string QuoteIdentifier(int dialect, std::string_view name);
[[nodiscard]] std::string FormatIdentifier(int dialect, std::string_view name);
// `text` as an SQL string literal: in apostrophes, its own apostrophes doubled, so that a name
// taken from the catalogue cannot end the literal early.
[[nodiscard]] std::string Literal(std::string_view text);

} // namespace velkor
