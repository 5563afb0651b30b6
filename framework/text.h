#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace velkor {

// Blanks and control characters, as the framework's Trim knows them.
[[nodiscard]] std::string Trim(std::string_view text);
[[nodiscard]] std::string TrimRight(std::string_view text);
[[nodiscard]] std::string TrimLeft(std::string_view text);
// ASCII only.
[[nodiscard]] std::string LowerCase(std::string_view text);
[[nodiscard]] std::string UpperCase(std::string_view text);
// Upper case for text in the connection's character set (WIN1251): Latin and Cyrillic letters.
[[nodiscard]] std::string AnsiUpperCase(std::string_view text);
[[nodiscard]] bool SameText(std::string_view a, std::string_view b) noexcept;

// Decimal text to a 32-bit integer; "$" introduces hexadecimal as the framework's reader allows.
// Raises EConvertError "'%s' is not a valid integer value".
[[nodiscard]] std::int32_t StrToInt(std::string_view text);
[[nodiscard]] bool TryStrToInt(std::string_view text, std::int32_t &value) noexcept;
[[nodiscard]] std::string IntToStr(std::int64_t value);

// One argument of Format: text, integer, or nothing.
using TFormatArg = std::variant<std::monostate, std::string, std::int64_t>;

// Formats %s, %d and %% the way the framework's Format does; an argument that is missing or of
// the wrong kind raises EConvertError.
[[nodiscard]] std::string Format(std::string_view format, std::initializer_list<TFormatArg> args);

} // namespace velkor
