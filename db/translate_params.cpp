#include "db/translate_params.h"

#include "db/ib_error.h"

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
                } else {
                    ParseError("Parameter name expected");
                }
            } else if (c == '"') {
                ++i;
                result.names.push_back(std::move(name));
                name.clear();
                quotedName = false;
                mode = TMode::plain;
            } else {
                name += c;
            }
            if (mode == TMode::parameter && !quotedName && !IsNameChar(next)) {
                ++i;
                result.names.push_back(std::move(name));
                name.clear();
                mode = TMode::plain;
            }
            break;
        }
        // The character that ends a name is copied unexamined; at the very end there is none,
        // and nothing past the text is read.
        if (mode != TMode::parameter && i < n)
            result.text += sql[i];
    }
    return result;
}

} // namespace velkor
