#pragma once

#include "framework/variant.h"

#include <cstdint>

namespace velkor {

// Scaled integers as a floating number and as currency (ten-thousandths).
[[nodiscard]] double AdjustScale(std::int64_t value, int scale);
[[nodiscard]] TCurrency AdjustScaleToCurrency(std::int64_t value, int scale);

} // namespace velkor
