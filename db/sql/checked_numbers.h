#pragma once

// Whole numbers taken from descriptor values, checked: a value that does not fit raises the
// client's invalid data conversion error.

#include <cstdint>
#include <string_view>

namespace velkor {

// The value truncated towards zero.
[[nodiscard]] std::int32_t CheckedInt32(double value);
[[nodiscard]] std::int64_t CheckedInt64(double value);
// A decimal text, blanks around it and a leading plus allowed.
[[nodiscard]] std::int64_t ParseCheckedInt64(std::string_view text);

} // namespace velkor
