// Input values narrowed on their way into a statement: refused by the parameter's name, never cut.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace velkor {

class TIBXSQLVAR;

// Runs `convert`, turning a failed conversion of the value (a variant that does not convert, a
// value the entry cannot hold) into the client's conversion error naming `parameter`.
void ConvertInput(std::string_view parameter, const std::function<void()> &convert);

// A 16-bit input: a value outside -32768 .. 32767 is refused (EConvertError, which
// ConvertInput names).
void SetShortInput(TIBXSQLVAR &entry, std::int32_t value);

} // namespace velkor
