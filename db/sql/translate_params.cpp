#include "db/sql/translate_params.h"

#include "db/client/ib_error.h"

namespace velkor {

namespace {

bool IsNameChar(char c) noexcept
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$';
}

[[noreturn]] void ParseError(const char *detail)
{
    RaiseClientError(ClientError::SQLParseError, {std::string(detail)});
}

enum class TMode { plain, comment, lineComment, quoted, parameter };

// A quote or a comment right after a name is scanned as such: copied unexamined, its literal
// or comment would be read as SQL and a marker inside it taken for a parameter.
bool OpensLiteralOrComment(std::string_view sql, std::size_t at) noexcept
{
    if (at >= sql.size())
        return false;
    const char c = sql[at];
    const char next = at + 1 < sql.size() ? sql[at + 1] : '\0';
    return c == '\'' || c == '"' || (c == '/' && next == '*') || (c == '-' && next == '-');
}

} // namespace

TTranslatedSQL TranslateParams(std::string_view sql, bool autoParamNames)
{
    TTranslatedSQL result;
    result.text.reserve(sql.size());
    TMode mode = TMode::plain;
    char quote = '\'';
    bool quotedName = false;
    std::string name;
    int counter = 0;
    const std::size_t n = sql.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = sql[i];
        const char next = i + 1 < n ? sql[i + 1] : '\0';
        bool copy = true;
        switch (mode) {
        case TMode::plain:
            if (c == '\'' || c == '"') {
                quote = c;
                mode = TMode::quoted;
            } else if (c == ':' || c == '?') {
                mode = TMode::parameter;
                result.text += '?';
            } else if (c == '/' && next == '*') {
                result.text += '/';
                ++i;
                mode = TMode::comment;
            } else if (c == '-' && next == '-') {
                // The server reads to the end of the line as comment; so do we, or an
                // apostrophe or a colon there would be taken for SQL.
                mode = TMode::lineComment;
            }
            break;
        case TMode::lineComment:
            if (c == '\n')
                mode = TMode::plain;
            break;
        case TMode::comment:
            if (next == '\0')
                ParseError("EOF in comment detected");
            if (c == '*' && next == '/')
                mode = TMode::plain;
            break;
        case TMode::quoted:
            if (next == '\0')
                ParseError("EOF in string detected");
            if (c == quote) {
                if (next == quote) {
                    result.text += c;
                    ++i;
                } else {
                    mode = TMode::plain;
                }
            }
            break;
        case TMode::parameter:
            if (!quotedName) {
                if (c == '"') {
                    quotedName = true;
                } else if (IsNameChar(c)) {
                    name += c;
                } else if (autoParamNames) {
                    result.names.push_back("IBXParam" + std::to_string(counter++));
                    name.clear();
                    mode = TMode::plain;
                    if (OpensLiteralOrComment(sql, i)) {
                        // Looked at again, in plain mode (a marker always comes before it).
                        --i;
                        copy = false;
                    }
                } else {
                    ParseError("Parameter name expected");
                }
            } else if (c == '"') {
                if (OpensLiteralOrComment(sql, i + 1))
                    copy = false;
                else
                    ++i;
                result.names.push_back(std::move(name));
                name.clear();
                quotedName = false;
                mode = TMode::plain;
            } else {
                name += c;
            }
            if (mode == TMode::parameter && !quotedName && !IsNameChar(next)) {
                if (OpensLiteralOrComment(sql, i + 1))
                    copy = false;
                else
                    ++i;
                result.names.push_back(std::move(name));
                name.clear();
                mode = TMode::plain;
            }
            break;
        }
        // Any other character that ends a name is copied unexamined; at the very end there is
        // none, and nothing past the text is read.
        if (mode != TMode::parameter && copy && i < n)
            result.text += sql[i];
    }
    return result;
}

} // namespace velkor
