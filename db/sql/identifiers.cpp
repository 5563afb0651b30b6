#include "db/sql/identifiers.h"

#include "framework/text.h"

namespace velkor {

std::string QuoteIdentifier(int dialect, std::string_view name)
{
    if (dialect == 1)
        return AnsiUpperCase(Trim(name));
    std::string quoted = "\"";
    for (char c : TrimRight(name)) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    quoted += '"';
    return quoted;
}

std::string FormatIdentifier(int dialect, std::string_view name)
{
    if (dialect == 1)
        return AnsiUpperCase(Trim(name));
    return std::string(name);
}

std::string Literal(std::string_view text)
{
    std::string literal = "'";
    for (const char c : text) {
        literal += c;
        if (c == '\'')
            literal += '\'';
    }
    literal += '\'';
    return literal;
}

} // namespace velkor
