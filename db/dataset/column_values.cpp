#include "db/dataset/column_values.h"

#include "db/client/internal/client_api.h"
#include "db/sql/ib_xsqlda.h"
#include "db/sql/ib_xsqlvar.h"

#include <cstring>

namespace velkor {

namespace {

// Day number of the client's day 0 (17 November 1858), counting 1 January of year 1 as day 1.
constexpr std::int32_t kClientDateDelta = 678576;

} // namespace

bool IsCharacterType(int type) noexcept
{
    return type == SqlType::Varying || type == SqlType::Text;
}

std::int16_t StoredSize(int type, int scale, int length) noexcept
{
    switch (type) {
    case SqlType::Varying:
    case SqlType::Text:
        return static_cast<std::int16_t>(length);
    case SqlType::Short:
    case SqlType::Long:
        return scale == 0 ? 4 : 8;
    case SqlType::Int64:
    case SqlType::Double:
    case SqlType::Float:
    case SqlType::DFloat:
    case SqlType::Timestamp:
    case SqlType::TypeTime:
    case SqlType::TypeDate:
        return 8;
    default:
        return static_cast<std::int16_t>(length);
    }
}

void StoreValue(const TIBXSQLVAR &var, int type, int scale, char *data, std::int16_t size)
{
    const char *raw = var.DataPointer();
    switch (type) {
    case SqlType::Short:
    case SqlType::Long:
    case SqlType::Int64:
        if (scale == 0) {
            if (type == SqlType::Int64) {
                std::memcpy(data, raw, 8);
            } else {
                const std::int32_t value = type == SqlType::Short
                                               ? *reinterpret_cast<const std::int16_t *>(raw)
                                               : *reinterpret_cast<const std::int32_t *>(raw);
                std::memcpy(data, &value, sizeof value);
            }
        } else if (scale >= -4) {
            const TCurrency value = var.CurrencyValue();
            std::memcpy(data, &value.scaled, sizeof value.scaled);
        } else {
            const double value = var.DoubleValue();
            std::memcpy(data, &value, sizeof value);
        }
        break;
    case SqlType::Double:
    case SqlType::Float:
    case SqlType::DFloat: {
        const double value = var.DoubleValue();
        std::memcpy(data, &value, sizeof value);
        break;
    }
    case SqlType::Timestamp: {
        ISC_TIMESTAMP stamp;
        std::memcpy(&stamp, raw, sizeof stamp);
        const std::int64_t value =
            (static_cast<std::int64_t>(stamp.timestamp_date) + kClientDateDelta) * 86400000 +
            stamp.timestamp_time / 10;
        std::memcpy(data, &value, sizeof value);
        break;
    }
    case SqlType::TypeTime: {
        ISC_TIME time;
        std::memcpy(&time, raw, sizeof time);
        const auto value = static_cast<std::int32_t>(time / 10);
        std::memcpy(data, &value, sizeof value);
        break;
    }
    case SqlType::TypeDate: {
        ISC_DATE date;
        std::memcpy(&date, raw, sizeof date);
        const std::int32_t value = date + kClientDateDelta;
        std::memcpy(data, &value, sizeof value);
        break;
    }
    default:
        std::memcpy(data, raw, static_cast<std::size_t>(size));
        break;
    }
}

TFieldTypeInfo FieldTypeOf(const TIBXSQLVAR &var) noexcept
{
    using enum TFieldType;
    const int scale = var.Scale();
    switch (var.ColumnType()) {
    case SqlType::Varying:
    case SqlType::Text:
        return {ftString, var.Length(), 0};
    case SqlType::Short:
        return scale == 0 ? TFieldTypeInfo{ftSmallint, 0, 0} : TFieldTypeInfo{ftBCD, 0, 4};
    case SqlType::Long:
        if (scale == 0)
            return {ftInteger, 0, 0};
        return scale < -4 ? TFieldTypeInfo{ftFloat, 0, 0} : TFieldTypeInfo{ftBCD, 0, 9};
    case SqlType::Int64:
        if (scale == 0)
            return {ftLargeint, 0, 0};
        return scale < -4 ? TFieldTypeInfo{ftFloat, 0, 0} : TFieldTypeInfo{ftBCD, 0, 18};
    case SqlType::Double:
    case SqlType::Float:
        return {ftFloat, 0, 0};
    case SqlType::Timestamp:
        return {ftDateTime, 0, 0};
    case SqlType::TypeDate:
        return {ftDate, 0, 0};
    case SqlType::TypeTime:
        return {ftTime, 0, 0};
    case SqlType::Blob:
        return {var.SubType() == 1 ? ftMemo : ftBlob, 8, 0};
    default:
        return {};
    }
}

} // namespace velkor
