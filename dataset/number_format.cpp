#include "dataset/number_format.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace velkor {

namespace {

std::vector<std::string_view> Sections(std::string_view pattern)
{
    std::vector<std::string_view> sections;
    char quote = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            sections.push_back(pattern.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(pattern.substr(start));
    return sections;
}

struct TDigits
{
    int minInteger = 0;
    int minFraction = 0;
    int maxFraction = 0;
    bool thousands = false;
    bool any = false;
};

TDigits ReadDigits(std::string_view section)
{
    TDigits digits;
    bool fraction = false;
    char quote = 0;
    for (const char c : section) {
        if (quote) {
            if (c == quote)
                quote = 0;
            continue;
        }
        switch (c) {
        case '\'':
        case '"':
            quote = c;
            break;
        case '0':
            digits.any = true;
            if (fraction) {
                ++digits.maxFraction;
                digits.minFraction = digits.maxFraction;
            } else {
                ++digits.minInteger;
            }
            break;
        case '#':
            digits.any = true;
            if (fraction)
                ++digits.maxFraction;
            break;
        case '.':
            fraction = true;
            break;
        case ',':
            digits.thousands = true;
            break;
        default:
            break;
        }
    }
    return digits;
}

std::string DigitText(double magnitude, const TDigits &digits)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", digits.maxFraction, magnitude);
    std::string text = buffer;
    std::string integer = text.substr(0, text.find('.'));
    std::string fraction =
        text.find('.') == std::string::npos ? std::string() : text.substr(text.find('.') + 1);
    while (static_cast<int>(fraction.size()) > digits.minFraction && !fraction.empty() &&
           fraction.back() == '0')
        fraction.pop_back();
    if (integer == "0" && digits.minInteger == 0)
        integer.clear();
    while (static_cast<int>(integer.size()) < digits.minInteger)
        integer.insert(0, 1, '0');
    if (digits.thousands)
        for (int i = static_cast<int>(integer.size()) - 3; i > 0; i -= 3)
            integer.insert(static_cast<std::size_t>(i), 1, ',');
    return fraction.empty() ? integer : integer + "." + fraction;
}

} // namespace

std::string FormatNumber(std::string_view pattern, double value)
{
    const std::vector<std::string_view> sections = Sections(pattern);
    std::string_view section = sections[0];
    bool sign = value < 0;
    if (value < 0 && sections.size() > 1 && !sections[1].empty()) {
        section = sections[1];
        sign = false;
    } else if (value == 0 && sections.size() > 2 && !sections[2].empty()) {
        section = sections[2];
    }
    const TDigits digits = ReadDigits(section);
    std::string result;
    if (sign)
        result += '-';
    bool digitsWritten = false;
    char quote = 0;
    for (const char c : section) {
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                result += c;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '0' || c == '#' || c == '.' || c == ',') {
            if (!digitsWritten) {
                result += DigitText(std::fabs(value), digits);
                digitsWritten = true;
            }
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace velkor
