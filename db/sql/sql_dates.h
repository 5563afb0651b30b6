#pragma once

#include "framework/variant.h"

#include <ctime>
#include <string>
#include <string_view>

namespace velkor {

// Between the program's day counts and the broken-down fields the client's date calls use
// (years since 1900, months from 0).

// False when the fields do not form a valid date or time.
[[nodiscard]] bool CombineDateTime(const std::tm &fields, bool withDate, bool withTime,
                                   TDateTime &value) noexcept;
[[nodiscard]] bool SplitDateTime(TDateTime value, std::tm &fields) noexcept;

// "YYYY-MM-DD", the date part only.
[[nodiscard]] std::string ShortDateText(TDateTime value);
// "YYYY-MM-DD" or "DD.MM.YYYY", each optionally followed by "HH:MM" or "HH:MM:SS".
[[nodiscard]] bool ParseDateTimeText(std::string_view text, TDateTime &value);

} // namespace velkor
