#include "dataset/date_time_fields.h"

#include <cstdint>
#include <cstring>

namespace velkor {

namespace {

// Day numbers count 1 January of year 1 as day 1; date values count days from 30 December 1899.
constexpr std::int32_t kDateDelta = 693594;
constexpr double kMillisecondsPerDay = 86400000.0;

} // namespace

TDateTimeField::TDateTimeField(TComponent *owner)
    : TDateTimeField(owner, TFieldType::ftDateTime)
{
}

TDateTimeField::TDateTimeField(TComponent *owner, TFieldType type)
    : TField(owner)
{
    SetDataType(type);
}

TDateTime TDateTimeField::AsDateTime() const
{
    unsigned char bytes[8] = {};
    if (!GetData(bytes))
        return {};
    switch (DataType()) {
    case TFieldType::ftDate: {
        std::int32_t day = 0;
        std::memcpy(&day, bytes, sizeof day);
        return TDateTime{static_cast<double>(day - kDateDelta)};
    }
    case TFieldType::ftTime: {
        std::int32_t milliseconds = 0;
        std::memcpy(&milliseconds, bytes, sizeof milliseconds);
        return TDateTime{milliseconds / kMillisecondsPerDay};
    }
    default: {
        std::int64_t milliseconds = 0;
        std::memcpy(&milliseconds, bytes, sizeof milliseconds);
        const auto msPerDay = static_cast<std::int64_t>(kMillisecondsPerDay);
        const std::int64_t day = milliseconds / msPerDay;
        const std::int64_t ofDay = milliseconds % msPerDay;
        const double date = static_cast<double>(day - kDateDelta);
        // Before 1899 the fraction counts away from zero, as date values do.
        const double time = static_cast<double>(ofDay) / kMillisecondsPerDay;
        return TDateTime{date < 0 ? date - time : date + time};
    }
    }
}

std::string TDateTimeField::AsString() const
{
    if (IsNull())
        return {};
    return TVariant(AsDateTime()).AsString();
}

TVariant TDateTimeField::AsVariant() const
{
    if (IsNull())
        return TVariant::Null();
    return TVariant(AsDateTime());
}

TDateField::TDateField(TComponent *owner)
    : TDateTimeField(owner, TFieldType::ftDate)
{
}

TTimeField::TTimeField(TComponent *owner)
    : TDateTimeField(owner, TFieldType::ftTime)
{
}
} // namespace velkor
