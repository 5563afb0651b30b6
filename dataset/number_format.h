#pragma once

#include <string>
#include <string_view>

namespace velkor {

// Formats a number by a display pattern: "0" a digit always shown, "#" a digit shown when
// significant, "." the decimal point, "," anywhere in the digits for thousands separators,
// text in quotes and any other character as it stands; up to three sections separated by ";"
// for positive, negative and zero values.
[[nodiscard]] std::string FormatNumber(std::string_view pattern, double value);

} // namespace velkor
