#include "db/sql/scale_conversion.h"

#include "db/client/ib_error.h"

#include <cmath>
#include <cstdlib>

namespace velkor {

namespace {

[[noreturn]] void InvalidConversion()
{
    RaiseClientError(ClientError::InvalidDataConversion);
}

} // namespace

double AdjustScale(std::int64_t value, int scale)
{
    // The power of ten as a double: 32 bits hold no more than 10^9, and NUMERIC(18,18) needs
    // 10^18.
    const double power = std::pow(10.0, std::abs(scale));
    if (scale > 0)
        return static_cast<double>(value) * power;
    if (scale < 0)
        return static_cast<double>(value) / power;
    return static_cast<double>(value);
}

TCurrency AdjustScaleToCurrency(std::int64_t value, int scale)
{
    constexpr std::int64_t kUnit = 10000;
    std::int64_t result = 0;
    if (scale >= 0) {
        std::int64_t factor = kUnit;
        for (int i = 0; i < scale; ++i)
            if (__builtin_mul_overflow(factor, std::int64_t{10}, &factor))
                InvalidConversion();
        if (__builtin_mul_overflow(value, factor, &result))
            InvalidConversion();
        return TCurrency{result};
    }
    if (scale < -18)
        return TCurrency{0};
    std::int64_t divisor = 1;
    for (int i = 0; i < -scale; ++i)
        divisor *= 10;
    const std::int64_t whole = value / divisor;
    const std::int64_t remainder = value % divisor;
    const auto fraction = static_cast<std::int64_t>(
        std::llround(static_cast<double>(remainder) / static_cast<double>(divisor) * kUnit));
    if (__builtin_mul_overflow(whole, kUnit, &result) ||
        __builtin_add_overflow(result, fraction, &result))
        InvalidConversion();
    return TCurrency{result};
}

} // namespace velkor
