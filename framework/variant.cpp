#include "framework/variant.h"

#include "framework/exceptions.h"
#include "framework/text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace velkor {

namespace {

[[noreturn]] void CannotConvert(TVarType from, const char *to)
{
    static const char *const names[] = {"Empty",    "Null", "Integer", "Double",
                                        "Currency", "Date", "String",  "Boolean"};
    throw EVariantError(std::string("Could not convert variant of type (") +
                        names[static_cast<int>(from)] + ") into type (" + to + ")");
}

bool ParseDouble(const std::string &text, double &value) noexcept
{
    const std::string trimmed = Trim(text);
    if (trimmed.empty())
        return false;
    char *end = nullptr;
    value = std::strtod(trimmed.c_str(), &end);
    return end == trimmed.c_str() + trimmed.size() && std::isfinite(value);
}

std::int32_t RoundToInt32(double value, TVarType from)
{
    const double rounded = std::nearbyint(value); // banker's rounding, as the framework rounds
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max()))
        CannotConvert(from, "Integer");
    return static_cast<std::int32_t>(rounded);
}

std::string DoubleText(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

std::string CurrencyText(TCurrency value)
{
    const bool negative = value.scaled < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value.scaled)
                                             : static_cast<std::uint64_t>(value.scaled);
    std::string text = std::to_string(magnitude / 10000);
    std::uint64_t fraction = magnitude % 10000;
    if (fraction != 0) {
        std::string digits = std::to_string(fraction + 10000).substr(1);
        while (!digits.empty() && digits.back() == '0')
            digits.pop_back();
        text += "." + digits;
    }
    return negative ? "-" + text : text;
}

} // namespace

TVariant TVariant::Null() noexcept
{
    TVariant v;
    v.value_ = NullTag{};
    return v;
}

TVarType TVariant::VarType() const noexcept
{
    return static_cast<TVarType>(value_.index());
}

std::int32_t TVariant::AsInteger() const
{
    switch (VarType()) {
    case TVarType::varEmpty:
        return 0;
    case TVarType::varInteger:
        return std::get<std::int32_t>(value_);
    case TVarType::varDouble:
        return RoundToInt32(std::get<double>(value_), VarType());
    case TVarType::varCurrency:
        return RoundToInt32(static_cast<double>(std::get<TCurrency>(value_).scaled) / 10000.0,
                            VarType());
    case TVarType::varDate:
        return RoundToInt32(std::get<TDateTime>(value_).days, VarType());
    case TVarType::varBoolean:
        return std::get<bool>(value_) ? -1 : 0;
    case TVarType::varString: {
        std::int32_t result = 0;
        if (TryStrToInt(std::get<std::string>(value_), result))
            return result;
        double real = 0;
        if (ParseDouble(std::get<std::string>(value_), real))
            return RoundToInt32(real, VarType());
        CannotConvert(VarType(), "Integer");
    }
    case TVarType::varNull:
        break;
    }
    CannotConvert(VarType(), "Integer");
}

double TVariant::AsDouble() const
{
    switch (VarType()) {
    case TVarType::varEmpty:
        return 0.0;
    case TVarType::varInteger:
        return std::get<std::int32_t>(value_);
    case TVarType::varDouble:
        return std::get<double>(value_);
    case TVarType::varCurrency:
        return static_cast<double>(std::get<TCurrency>(value_).scaled) / 1e4;
    case TVarType::varDate:
        return std::get<TDateTime>(value_).days;
    case TVarType::varBoolean:
        return std::get<bool>(value_) ? -1.0 : 0.0;
    case TVarType::varString: {
        double result = 0;
        if (ParseDouble(std::get<std::string>(value_), result))
            return result;
        break;
    }
    case TVarType::varNull:
        break;
    }
    CannotConvert(VarType(), "Double");
}

TCurrency TVariant::AsCurrency() const
{
    if (VarType() == TVarType::varCurrency)
        return std::get<TCurrency>(value_);
    if (VarType() == TVarType::varInteger)
        return TCurrency{static_cast<std::int64_t>(std::get<std::int32_t>(value_)) * 10000};
    const double real = AsDouble() * 10000.0;
    if (!(std::fabs(real) < 9.2e18))
        CannotConvert(VarType(), "Currency");
    return TCurrency{static_cast<std::int64_t>(std::nearbyint(real))};
}

TDateTime TVariant::AsDateTime() const
{
    if (VarType() == TVarType::varDate)
        return std::get<TDateTime>(value_);
    if (VarType() == TVarType::varString)
        CannotConvert(VarType(), "Date");
    return TDateTime{AsDouble()};
}

std::string TVariant::AsString() const
{
    switch (VarType()) {
    case TVarType::varEmpty:
        return {};
    case TVarType::varInteger:
        return std::to_string(std::get<std::int32_t>(value_));
    case TVarType::varDouble:
        return DoubleText(std::get<double>(value_));
    case TVarType::varCurrency:
        return CurrencyText(std::get<TCurrency>(value_));
    case TVarType::varDate:
        return DoubleText(std::get<TDateTime>(value_).days);
    case TVarType::varString:
        return std::get<std::string>(value_);
    case TVarType::varBoolean:
        return std::get<bool>(value_) ? "True" : "False";
    case TVarType::varNull:
        break;
    }
    CannotConvert(VarType(), "String");
}

bool TVariant::AsBoolean() const
{
    switch (VarType()) {
    case TVarType::varEmpty:
        return false;
    case TVarType::varBoolean:
        return std::get<bool>(value_);
    case TVarType::varString: {
        const std::string &text = std::get<std::string>(value_);
        if (SameText(text, "True"))
            return true;
        if (SameText(text, "False"))
            return false;
        return AsDouble() != 0.0;
    }
    case TVarType::varNull:
        break;
    default:
        return AsDouble() != 0.0;
    }
    CannotConvert(VarType(), "Boolean");
}

TVariant TVariant::ChangeType(TVarType type) const
{
    if (type == VarType())
        return *this;
    switch (type) {
    case TVarType::varEmpty:
        return TVariant();
    case TVarType::varNull:
        return Null();
    case TVarType::varInteger:
        return TVariant(AsInteger());
    case TVarType::varDouble:
        return TVariant(AsDouble());
    case TVarType::varCurrency:
        return TVariant(AsCurrency());
    case TVarType::varDate:
        return TVariant(AsDateTime());
    case TVarType::varString:
        return TVariant(AsString());
    case TVarType::varBoolean:
        return TVariant(AsBoolean());
    }
    CannotConvert(VarType(), "Unknown");
}

bool operator==(const TVariant &a, const TVariant &b) noexcept
{
    return a.value_ == b.value_;
}

} // namespace velkor
