#include "db/sql/input_conversion.h"

#include "db/client/ib_error.h"
#include "db/sql/ib_xsqlvar.h"
#include "framework/exceptions.h"

#include <limits>
#include <string>

namespace velkor {

namespace {

[[noreturn]] void RaiseInputError(std::string_view parameter, std::string_view detail)
{
    std::string message = "Parameter '";
    message += parameter;
    message += "': ";
    message += detail;
    throw EIBClientError(ClientError::InvalidDataConversion, std::move(message));
}

} // namespace

void ConvertInput(std::string_view parameter, const std::function<void()> &convert)
{
    try {
        convert();
    } catch (const EVariantError &error) {
        RaiseInputError(parameter, error.what());
    } catch (const EConvertError &error) {
        RaiseInputError(parameter, error.what());
    } catch (const EIBClientError &error) {
        if (error.SQLCode() != ClientError::InvalidDataConversion)
            throw;
        RaiseInputError(parameter, error.what());
    }
}

void SetShortInput(TIBXSQLVAR &entry, std::int32_t value)
{
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        throw EConvertError(std::to_string(value) + " is out of range for SmallInt");
    entry.SetShortValue(static_cast<std::int16_t>(value));
}

} // namespace velkor
