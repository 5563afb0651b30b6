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

// One pass over the text, one character at a time; each mode reads the character in front of it
// and the one after, and may take both.
class TParamScanner
{
public:
    TParamScanner(std::string_view sql, bool autoParamNames) noexcept
        : sql_(sql)
        , autoParamNames_(autoParamNames)
    {
    }

    TTranslatedSQL Run()
    {
        result_.text.reserve(sql_.size());
        for (i_ = 0; i_ < sql_.size(); ++i_) {
            c_ = sql_[i_];
            next_ = i_ + 1 < sql_.size() ? sql_[i_ + 1] : '\0';
            copy_ = true;
            Step();
            // Any other character that ends a name is copied unexamined; at the very end there
            // is none, and nothing past the text is read.
            if (mode_ != TMode::parameter && copy_ && i_ < sql_.size())
                result_.text += sql_[i_];
        }
        return std::move(result_);
    }

private:
    void Step()
    {
        switch (mode_) {
        case TMode::plain:
            ScanPlain();
            break;
        case TMode::lineComment:
            if (c_ == '\n')
                mode_ = TMode::plain;
            break;
        case TMode::comment:
            if (next_ == '\0')
                ParseError("EOF in comment detected");
            if (c_ == '*' && next_ == '/')
                mode_ = TMode::plain;
            break;
        case TMode::quoted:
            ScanQuoted();
            break;
        case TMode::parameter:
            if (quotedName_)
                ScanQuotedName();
            else
                ScanName();
            break;
        }
    }

    void ScanPlain()
    {
        if (c_ == '\'' || c_ == '"') {
            quote_ = c_;
            mode_ = TMode::quoted;
        } else if (c_ == ':' || c_ == '?') {
            mode_ = TMode::parameter;
            result_.text += '?';
        } else if (c_ == '/' && next_ == '*') {
            result_.text += '/';
            ++i_;
            mode_ = TMode::comment;
        } else if (c_ == '-' && next_ == '-') {
            // The server reads to the end of the line as comment; so do we, or an apostrophe or
            // a colon there would be taken for SQL.
            mode_ = TMode::lineComment;
        }
    }

    void ScanQuoted()
    {
        if (next_ == '\0')
            ParseError("EOF in string detected");
        if (c_ != quote_)
            return;
        if (next_ == quote_) {
            result_.text += c_;
            ++i_;
        } else {
            mode_ = TMode::plain;
        }
    }

    void ScanName()
    {
        if (c_ == '"') {
            quotedName_ = true;
            return;
        }
        if (IsNameChar(c_)) {
            name_ += c_;
        } else if (autoParamNames_) {
            NameUnnamedMarker();
            return;
        } else {
            ParseError("Parameter name expected");
        }
        if (!IsNameChar(next_)) {
            StepPastName();
            EndName();
        }
    }

    void ScanQuotedName()
    {
        if (c_ != '"') {
            name_ += c_;
            return;
        }
        StepPastName();
        quotedName_ = false;
        EndName();
    }

    void NameUnnamedMarker()
    {
        result_.names.push_back("IBXParam" + std::to_string(counter_++));
        name_.clear();
        mode_ = TMode::plain;
        if (OpensLiteralOrComment(sql_, i_)) {
            // Looked at again, in plain mode (a marker always comes before it).
            --i_;
            copy_ = false;
        }
    }

    // The character after the name is copied at once, unless plain mode must look at it.
    void StepPastName() noexcept
    {
        if (OpensLiteralOrComment(sql_, i_ + 1))
            copy_ = false;
        else
            ++i_;
    }

    void EndName()
    {
        result_.names.push_back(std::move(name_));
        name_.clear();
        mode_ = TMode::plain;
    }

    std::string_view sql_;
    bool autoParamNames_;
    TTranslatedSQL result_;
    TMode mode_ = TMode::plain;
    char quote_ = '\'';
    bool quotedName_ = false;
    std::string name_;
    int counter_ = 0;
    std::size_t i_ = 0;
    char c_ = '\0';
    char next_ = '\0';
    bool copy_ = true;
};

} // namespace

TTranslatedSQL TranslateParams(std::string_view sql, bool autoParamNames)
{
    return TParamScanner(sql, autoParamNames).Run();
}

} // namespace velkor
