#pragma once

#include <string>

namespace velkor {

// Exactly `length` decimal digits, for names that must differ (cursor names).
[[nodiscard]] std::string RandomDigits(int length);

} // namespace velkor
