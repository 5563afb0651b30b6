#include "framework/text.h"

#include "framework/exceptions.h"

#include <charconv>
#include <limits>
#include <vector>

namespace velkor {

namespace {

bool IsTrimmed(char c) noexcept
{
    return static_cast<unsigned char>(c) <= ' ';
}

char AsciiLower(char c) noexcept
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char AsciiUpper(char c) noexcept
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// WIN1251: lower-case Cyrillic letters sit 0x20 above their capitals, plus a few odd pairs.
unsigned char Win1251Upper(unsigned char c) noexcept
{
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0)
        return static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0xB8:
        return 0xA8; // io
    case 0xBA:
        return 0xAA; // ukrainian ie
    case 0xBF:
        return 0xAF; // yi
    case 0xB3:
        return 0xB2; // byelorussian-ukrainian i
    case 0xBE:
        return 0xBD; // dze
    case 0xBC:
        return 0xA3; // je
    case 0xA2:
        return 0xA1; // short u
    case 0xB4:
        return 0xA5; // ghe with upturn
    case 0x90:
        return 0x80; // dje
    case 0x83:
        return 0x81; // gje
    case 0x9A:
        return 0x8A; // lje
    case 0x9C:
        return 0x8C; // nje
    case 0x9D:
        return 0x8D; // kje
    case 0x9E:
        return 0x8E; // tshe
    case 0x9F:
        return 0x8F; // dzhe
    default:
        return c;
    }
}

} // namespace

std::string Trim(std::string_view text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsTrimmed(text[first]))
        ++first;
    while (last > first && IsTrimmed(text[last - 1]))
        --last;
    return std::string(text.substr(first, last - first));
}

std::string TrimRight(std::string_view text)
{
    std::size_t last = text.size();
    while (last > 0 && IsTrimmed(text[last - 1]))
        --last;
    return std::string(text.substr(0, last));
}

std::string TrimLeft(std::string_view text)
{
    std::size_t first = 0;
    while (first < text.size() && IsTrimmed(text[first]))
        ++first;
    return std::string(text.substr(first));
}

std::string LowerCase(std::string_view text)
{
    std::string result(text);
    for (char &c : result)
        c = AsciiLower(c);
    return result;
}

std::string UpperCase(std::string_view text)
{
    std::string result(text);
    for (char &c : result)
        c = AsciiUpper(c);
    return result;
}

std::string AnsiUpperCase(std::string_view text)
{
    std::string result(text);
    for (char &c : result)
        c = static_cast<char>(Win1251Upper(static_cast<unsigned char>(c)));
    return result;
}

bool SameText(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    return true;
}

bool TryStrToInt(std::string_view text, std::int32_t &value) noexcept
{
    std::string_view rest = text;
    while (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    int base = 10;
    if (!rest.empty() && rest.front() == '$') {
        base = 16;
        rest.remove_prefix(1);
    } else if (rest.size() > 1 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        base = 16;
        rest.remove_prefix(2);
    }
    if (rest.empty())
        return false;
    std::uint64_t magnitude = 0;
    auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), magnitude, base);
    if (error != std::errc() || end != rest.data() + rest.size())
        return false;
    const std::uint64_t limit = negative ? 2147483648ULL : 2147483647ULL;
    if (base == 10 && magnitude > limit)
        return false;
    if (base == 16 && magnitude > 0xFFFFFFFFULL)
        return false;
    if (base == 16 && !negative) {
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude));
        return true;
    }
    const std::int64_t signedValue =
        negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    if (signedValue < std::numeric_limits<std::int32_t>::min())
        return false;
    value = static_cast<std::int32_t>(signedValue);
    return true;
}

std::int32_t StrToInt(std::string_view text)
{
    std::int32_t value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
    return value;
}

std::string IntToStr(std::int64_t value)
{
    return std::to_string(value);
}

std::string Format(std::string_view format, std::initializer_list<TFormatArg> args)
{
    const std::vector<TFormatArg> list(args);
    std::size_t next = 0;
    std::string result;
    result.reserve(format.size() + 32);
    auto invalid = [&] {
        return EConvertError("Format '" + std::string(format) +
                             "' invalid or incompatible with argument");
    };
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%') {
            result += c;
            continue;
        }
        if (i + 1 >= format.size())
            throw invalid();
        const char kind = format[++i];
        if (kind == '%') {
            result += '%';
            continue;
        }
        if (next >= list.size())
            throw invalid();
        const TFormatArg &arg = list[next++];
        if (kind == 's') {
            if (const auto *text = std::get_if<std::string>(&arg))
                result += *text;
            else
                throw invalid();
        } else if (kind == 'd') {
            if (const auto *number = std::get_if<std::int64_t>(&arg))
                result += std::to_string(*number);
            else
                throw invalid();
        } else {
            throw invalid();
        }
    }
    return result;
}

} // namespace velkor
