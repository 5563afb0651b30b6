#include "db/sql/random_digits.h"

#include <cstdint>
#include <random>

namespace velkor {

std::string RandomDigits(int length)
{
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::int32_t> draw(0, 2147483647);
    std::string digits;
    while (static_cast<int>(digits.size()) < length)
        digits += std::to_string(draw(generator));
    digits.resize(static_cast<std::size_t>(length < 0 ? 0 : length));
    return digits;
}

} // namespace velkor
