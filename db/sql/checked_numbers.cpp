#include "db/sql/checked_numbers.h"

#include "db/client/ib_error.h"
#include "framework/text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace velkor {

std::int32_t CheckedInt32(double value)
{
    const double truncated = std::trunc(value);
    if (!(truncated >= std::numeric_limits<std::int32_t>::min() &&
          truncated <= std::numeric_limits<std::int32_t>::max()))
        RaiseClientError(ClientError::InvalidDataConversion);
    return static_cast<std::int32_t>(truncated);
}

std::int64_t CheckedInt64(double value)
{
    const double truncated = std::trunc(value);
    // 2^63 itself is out of range; every double below it converts exactly.
    if (!(truncated >= -9223372036854775808.0 && truncated < 9223372036854775808.0))
        RaiseClientError(ClientError::InvalidDataConversion);
    return static_cast<std::int64_t>(truncated);
}

std::int64_t ParseCheckedInt64(std::string_view text)
{
    const std::string trimmed = Trim(text);
    std::int64_t value = 0;
    const char *first = trimmed.data();
    const char *last = first + trimmed.size();
    if (first != last && *first == '+')
        ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (trimmed.empty() || error != std::errc() || end != last)
        RaiseClientError(ClientError::InvalidDataConversion);
    return value;
}

} // namespace velkor
