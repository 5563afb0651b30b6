#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velkor {

struct TTranslatedSQL
{
    std::string text;               // with every marker as "?"
    std::vector<std::string> names; // one per marker, in order
};

// Turns the named markers of a statement (":NAME", ":"quoted name"", and "?" when
// `autoParamNames` gives it a name) into the server's "?" markers, leaving literals, quoted
// identifiers and comments alone. Raises the client's SQL parse error. The text is never longer
// than `sql`.
[[nodiscard]] TTranslatedSQL TranslateParams(std::string_view sql, bool autoParamNames);

} // namespace velkor
