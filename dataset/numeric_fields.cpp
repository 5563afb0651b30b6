#include "dataset/numeric_fields.h"

#include "dataset/number_format.h"
#include "framework/exceptions.h"
#include "framework/text.h"

#include <cmath>
#include <cstring>

namespace velkor {

TNumericField::TNumericField(TComponent *owner)
    : TField(owner)
{
    SetAlignment(TAlignment::taRightJustify);
}

void TNumericField::SetDisplayFormat(std::string format)
{
    if (format == displayFormat_)
        return;
    displayFormat_ = std::move(format);
    PropertyChanged();
}

void TNumericField::SetEditFormat(std::string format)
{
    if (format == editFormat_)
        return;
    editFormat_ = std::move(format);
    PropertyChanged();
}

bool TNumericField::NumberForFormat(double &value) const
{
    if (IsNull())
        return false;
    value = AsFloat();
    return true;
}

std::string TNumericField::GetText(bool displayText) const
{
    const std::string &format = displayText || editFormat_.empty() ? displayFormat_ : editFormat_;
    if (format.empty())
        return AsString();
    double value = 0;
    if (!NumberForFormat(value))
        return {};
    return FormatNumber(format, value);
}

TIntegerField::TIntegerField(TComponent *owner)
    : TIntegerField(owner, TFieldType::ftInteger)
{
}

TIntegerField::TIntegerField(TComponent *owner, TFieldType type)
    : TNumericField(owner)
{
    SetDataType(type);
}

std::int32_t TIntegerField::AsInteger() const
{
    unsigned char bytes[4] = {};
    if (!GetData(bytes))
        return 0;
    switch (DataType()) {
    case TFieldType::ftSmallint: {
        std::int16_t value = 0;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    case TFieldType::ftWord: {
        std::uint16_t value = 0;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    default: {
        std::int32_t value = 0;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    }
}

std::string TIntegerField::AsString() const
{
    if (IsNull())
        return {};
    return IntToStr(AsInteger());
}

TVariant TIntegerField::AsVariant() const
{
    if (IsNull())
        return TVariant::Null();
    return TVariant(AsInteger());
}

TSmallintField::TSmallintField(TComponent *owner)
    : TIntegerField(owner, TFieldType::ftSmallint)
{
}

TWordField::TWordField(TComponent *owner)
    : TIntegerField(owner, TFieldType::ftWord)
{
}

TLargeintField::TLargeintField(TComponent *owner)
    : TNumericField(owner)
{
    SetDataType(TFieldType::ftLargeint);
}

std::int64_t TLargeintField::AsLargeInt() const
{
    std::int64_t value = 0;
    return GetData(&value) ? value : 0;
}

std::int32_t TLargeintField::AsInteger() const
{
    const std::int64_t value = AsLargeInt();
    if (value < INT32_MIN || value > INT32_MAX)
        throw EConvertError(Format("'%s' is not a valid integer value", {IntToStr(value)}));
    return static_cast<std::int32_t>(value);
}

std::string TLargeintField::AsString() const
{
    if (IsNull())
        return {};
    return IntToStr(AsLargeInt());
}

TVariant TLargeintField::AsVariant() const
{
    if (IsNull())
        return TVariant::Null();
    // The variant holds 32-bit integers; larger values travel as doubles would lose digits.
    const std::int64_t value = AsLargeInt();
    if (value >= INT32_MIN && value <= INT32_MAX)
        return TVariant(static_cast<std::int32_t>(value));
    return TVariant(IntToStr(value));
}

TFloatField::TFloatField(TComponent *owner)
    : TFloatField(owner, TFieldType::ftFloat)
{
}

TFloatField::TFloatField(TComponent *owner, TFieldType type)
    : TNumericField(owner)
{
    SetDataType(type);
}

double TFloatField::AsFloat() const
{
    double value = 0;
    return GetData(&value) ? value : 0;
}

std::int32_t TFloatField::AsInteger() const
{
    const double value = std::nearbyint(AsFloat());
    if (!(value >= INT32_MIN && value <= INT32_MAX))
        throw EConvertError(Format("'%s' is not a valid integer value", {AsString()}));
    return static_cast<std::int32_t>(value);
}

std::string TFloatField::AsString() const
{
    if (IsNull())
        return {};
    return TVariant(AsFloat()).AsString();
}

TVariant TFloatField::AsVariant() const
{
    if (IsNull())
        return TVariant::Null();
    return TVariant(AsFloat());
}

bool TFloatField::NumberForFormat(double &value) const
{
    if (IsNull())
        return false;
    value = AsFloat();
    return true;
}

} // namespace velkor
