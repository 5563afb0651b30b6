#include "settings/registry_text.h"

#include "framework/exceptions.h"
#include "framework/text.h"

#include <charconv>

namespace velkor {

namespace {

constexpr std::string_view kHeader = "velkor-registry 1";
constexpr std::string_view kTrailer = "end";
constexpr char kHexDigits[] = "0123456789ABCDEF";

// Length of the well-formed UTF-8 sequence at `at`, 0 when there is none.
std::size_t Utf8Length(std::string_view text, std::size_t at) noexcept
{
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // bounds of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // overlong
        if (lead == 0xED)
            high = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if (byte < (i == 1 ? low : 0x80) || byte > (i == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

void AppendHexByte(std::string &out, unsigned char byte)
{
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

void AppendQuoted(std::string &out, std::string_view text)
{
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else if (const std::size_t length = byte >= 0x80 ? Utf8Length(text, i) : 0) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        } else {
            out += "\\x";
            AppendHexByte(out, byte);
        }
        ++i;
    }
    out += '"';
}

const char *TypeWord(TRegDataType type) noexcept
{
    switch (type) {
    case TRegDataType::rdString:
        return "string";
    case TRegDataType::rdExpandString:
        return "expand";
    case TRegDataType::rdInteger:
        return "dword";
    case TRegDataType::rdBinary:
        return "binary";
    case TRegDataType::rdUnknown:
        break;
    }
    return nullptr;
}

void AppendData(std::string &out, const TRegValue &value)
{
    const bool isString =
        value.type == TRegDataType::rdString || value.type == TRegDataType::rdExpandString;
    if (isString && !value.data.empty() && value.data.back() == '\0') {
        AppendQuoted(out, std::string_view(value.data).substr(0, value.data.size() - 1));
    } else if (value.type == TRegDataType::rdInteger && value.data.size() == 4) {
        std::uint32_t bits = 0;
        for (int i = 3; i >= 0; --i)
            bits =
                (bits << 8) | static_cast<unsigned char>(value.data[static_cast<std::size_t>(i)]);
        out += std::to_string(bits);
    } else {
        out += "hex:";
        for (char c : value.data)
            AppendHexByte(out, static_cast<unsigned char>(c));
    }
}

void AppendValues(std::string &out, const TRegKey &key, const std::vector<std::string_view> &path)
{
    out += "key";
    for (const std::string_view level : path) {
        out += ' ';
        AppendQuoted(out, level);
    }
    out += '\n';
    for (const auto &[name, value] : key.values) {
        out += "value ";
        AppendQuoted(out, name);
        out += ' ';
        if (const char *word = TypeWord(value.type))
            out += word;
        else
            out += std::to_string(static_cast<std::uint32_t>(value.type));
        out += ' ';
        AppendData(out, value);
        out += '\n';
    }
}

// Every key below the root, parents first, walked with a stack of our own: however deep the
// tree, writing it costs no stack frames.
void AppendSubkeys(std::string &out, const TRegKey &root)
{
    struct Level
    {
        const TRegKey *key;
        std::map<std::string, TRegKey, TRegNameLess>::const_iterator next;
    };
    std::vector<Level> levels{{&root, root.subkeys.begin()}};
    std::vector<std::string_view> path;
    while (!levels.empty()) {
        Level &level = levels.back();
        if (level.next == level.key->subkeys.end()) {
            levels.pop_back();
            if (!path.empty())
                path.pop_back();
            continue;
        }
        const auto &[name, subkey] = *level.next++;
        path.push_back(name);
        AppendValues(out, subkey, path);
        levels.push_back({&subkey, subkey.subkeys.begin()});
    }
}

int HexDigit(char c) noexcept
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads one line's words; every fault names the line.
class LineReader
{
public:
    LineReader(std::string_view line, std::size_t number)
        : line_(line)
        , number_(number)
    {
    }

    [[noreturn]] void Fail(std::string_view what) const
    {
        throw ERegistryException(Format("Registry file line %d: %s",
                                        {static_cast<std::int64_t>(number_), std::string(what)}));
    }
    [[nodiscard]] bool AtEnd() const noexcept { return at_ == line_.size(); }
    [[nodiscard]] bool AtQuote() const noexcept { return !AtEnd() && line_[at_] == '"'; }
    void Space()
    {
        if (AtEnd() || line_[at_] != ' ')
            Fail("a blank expected");
        ++at_;
    }
    [[nodiscard]] std::string_view Word()
    {
        const std::size_t start = at_;
        while (!AtEnd() && line_[at_] != ' ')
            ++at_;
        return line_.substr(start, at_ - start);
    }
    [[nodiscard]] std::string Quoted()
    {
        if (!AtQuote())
            Fail("a quoted text expected");
        ++at_;
        std::string text;
        for (;;) {
            if (AtEnd())
                Fail("unterminated quoted text");
            const char c = line_[at_++];
            if (c == '"')
                return text;
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                Fail("control character in quoted text");
            if (c != '\\') {
                text += c;
                continue;
            }
            if (AtEnd())
                Fail("unterminated escape");
            switch (const char e = line_[at_++]) {
            case '\\':
            case '"':
                text += e;
                break;
            case 'n':
                text += '\n';
                break;
            case 'r':
                text += '\r';
                break;
            case 't':
                text += '\t';
                break;
            case 'x': {
                const int high = at_ < line_.size() ? HexDigit(line_[at_]) : -1;
                const int low = at_ + 1 < line_.size() ? HexDigit(line_[at_ + 1]) : -1;
                if (high < 0 || low < 0)
                    Fail("bad \\x escape");
                text += static_cast<char>(high * 16 + low);
                at_ += 2;
                break;
            }
            default:
                Fail("unknown escape");
            }
        }
    }

private:
    std::string_view line_;
    std::size_t number_;
    std::size_t at_ = 0;
};

bool ParseNumber(std::string_view word, std::uint32_t &number) noexcept
{
    if (word.empty() || word.size() > 10)
        return false;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
    return error == std::errc() && end == word.data() + word.size();
}

TRegValue ParseValueData(LineReader &reader, TRegDataType type, std::string_view rest)
{
    if (rest.starts_with("hex:")) {
        const std::string_view digits = rest.substr(4);
        if (digits.size() % 2 != 0)
            reader.Fail("odd number of hex digits");
        std::string bytes;
        for (std::size_t i = 0; i < digits.size(); i += 2) {
            const int high = HexDigit(digits[i]), low = HexDigit(digits[i + 1]);
            if (high < 0 || low < 0)
                reader.Fail("bad hex digit");
            bytes += static_cast<char>(high * 16 + low);
        }
        return {type, std::move(bytes)};
    }
    if (type == TRegDataType::rdInteger) {
        std::uint32_t number = 0;
        if (!ParseNumber(rest, number))
            reader.Fail("bad dword");
        return IntegerValue(static_cast<std::int32_t>(number));
    }
    reader.Fail("bad value data");
}

// "key" then the quoted names of the levels below the root; the key is made when missing.
TRegKey &ParseKeyLine(LineReader &reader, TRegKey &root)
{
    std::vector<std::string> levels;
    std::size_t pathLength = 0;
    while (!reader.AtEnd()) {
        reader.Space();
        std::string name = reader.Quoted();
        if (name.empty() || name.find('\\') != std::string::npos)
            reader.Fail("bad key name");
        // Checked level by level: a path far too deep stops here, not after the line.
        pathLength += name.size() + (levels.empty() ? 0 : 1);
        levels.push_back(std::move(name));
        if (const std::string fault =
                KeyLevelFault(levels.size(), levels.back().size(), pathLength);
            !fault.empty())
            reader.Fail(fault);
    }
    return CreateKey(root, levels);
}

TRegDataType ParseValueType(LineReader &reader)
{
    const std::string_view typeWord = reader.Word();
    if (typeWord == "string")
        return TRegDataType::rdString;
    if (typeWord == "expand")
        return TRegDataType::rdExpandString;
    if (typeWord == "dword")
        return TRegDataType::rdInteger;
    if (typeWord == "binary")
        return TRegDataType::rdBinary;
    std::uint32_t code = 0;
    if (!ParseNumber(typeWord, code))
        reader.Fail("unknown value type");
    return static_cast<TRegDataType>(code);
}

// "value", its quoted name, its type, and its data, quoted or not; into `key`.
void ParseValueLine(LineReader &reader, TRegKey &key)
{
    reader.Space();
    std::string name = reader.Quoted();
    reader.Space();
    const TRegDataType type = ParseValueType(reader);
    reader.Space();
    TRegValue value;
    if (reader.AtQuote()) {
        if (type != TRegDataType::rdString && type != TRegDataType::rdExpandString)
            reader.Fail("quoted data for a value that is not a string");
        value = StringValue(reader.Quoted(), type);
    } else {
        value = ParseValueData(reader, type, reader.Word());
    }
    if (!reader.AtEnd())
        reader.Fail("text after the value");
    if (!key.values.emplace(std::move(name), std::move(value)).second)
        reader.Fail("value named twice");
}

} // namespace

std::string FormatRegistryText(const TRegKey &root)
{
    std::string out(kHeader);
    out += '\n';
    // The root needs a line only for values of its own.
    if (!root.values.empty())
        AppendValues(out, root, {});
    AppendSubkeys(out, root);
    out += kTrailer;
    out += '\n';
    return out;
}

TRegKey ParseRegistryText(std::string_view text)
{
    TRegKey root;
    TRegKey *current = &root;
    std::size_t number = 0;
    std::size_t start = 0;
    bool ended = false;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        LineReader reader(line, ++number);
        if (ended)
            reader.Fail("text after the end");
        if (number == 1) {
            if (line != kHeader)
                reader.Fail("not a registry file");
            continue;
        }
        if (line.empty() || line.front() == '#')
            continue;
        const std::string_view word = reader.Word();
        if (word == kTrailer && reader.AtEnd()) {
            ended = true;
        } else if (word == "key") {
            current = &ParseKeyLine(reader, root);
        } else if (word == "value") {
            ParseValueLine(reader, *current);
        } else {
            reader.Fail("unknown record");
        }
    }
    if (number == 0)
        throw ERegistryException("Registry file line 1: not a registry file");
    if (!ended)
        LineReader(std::string_view(), number).Fail("the file ends too early");
    return root;
}

} // namespace velkor
